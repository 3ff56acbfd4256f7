#include "dravik/cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int code;
    std::string out, err;
};

class DravikCliTest : public testing::Test {
protected:
    void SetUp() override {
        CacheImage bare;
        bare.Width = bare.Height = 1;
        bare.Rows = {{0x81, 1}};
        WriteCache(game, BuildCache({{WeaponInfo(2), 2, 1, {bare, bare}, {}}}));
        WriteZipPackage(game / "mypal.wdf", {{"mypal/weapon/2.pal", BuildPal({{}, {255, 0, 0}})}});
    }
    CliRun Cli(std::vector<std::string> args) {
        std::FILE* out = std::tmpfile();
        std::ostringstream err;
        const int code = DravikCli(args, dir.Path(), out, err);
        std::fflush(out);
        std::rewind(out);
        std::string text;
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;) text.append(buf, n);
        std::fclose(out);
        return {code, text, err.str()};
    }
    void WriteConfig(const fs::path& at, const std::string& text) {
        kd::WriteWholeFile(at, std::vector<uint8_t>(text.begin(), text.end()));
    }
    TempDir dir;
    fs::path game = dir.Path() / "game";
    std::string exportDir = (dir.Path() / "export").string();
};

TEST_F(DravikCliTest, CleanRunLogsToStandardOutputAndExitsZero) {
    const CliRun r = Cli({game.string() + "/", exportDir});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "[LOG] File:\"00000000_0000_0000.tga\"\r\n[LOG] KeyX:0, KeyY:0, Width:1, Height:1\r\n"
              "[LOG] File:\"00000000_0000_0001.tga\"\r\n[LOG] KeyX:0, KeyY:0, Width:1, Height:1\r\n");
    const auto tga = kd::ReadWholeFile(fs::path(exportDir) / "00000000_0000_0001.tga");
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18, tga.end()), (std::vector<uint8_t>{248, 0, 0, 255}));
}

TEST_F(DravikCliTest, ErrorLinesGiveExitTwoAndASummary) {
    WriteConfig(dir.Path() / "other.ini", "[wdf]\nnum=2\nname0=mypal.wdf\nname1=absent.wdf\n");
    const CliRun r = Cli({"--config", (dir.Path() / "other.ini").string(), "--log",
                          (dir.Path() / "run.log").string(), game.string(), exportDir});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("2 images written, 1 error lines logged"), std::string::npos) << r.err;
    EXPECT_EQ(Matching(ReadLogLines(dir.Path() / "run.log"), "[ERROR]"),
              std::vector<std::string>{"[ERROR] Open \"absent.wdf\" fails."});
}

TEST_F(DravikCliTest, ConfigBesideTheProgramIsTheDefault) {
    WriteConfig(dir.Path() / "config.ini", "[wdf]\nnum=1\nname0=elsewhere.wdf\n");
    const CliRun r = Cli({game.string(), exportDir});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.out.find("[ERROR] Open \"elsewhere.wdf\" fails.\r\n"), std::string::npos) << r.out;
}

TEST_F(DravikCliTest, MissingCacheIsAnErrorLineNamingTheIndexPath) {
    const CliRun r = Cli({(dir.Path() / "nowhere").string(), exportDir});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.out.find("[ERROR] Open \"" + (dir.Path() / "nowhere/v3d_cache/v3d.hdr").string() + "\" fails."),
              std::string::npos) << r.out;
}

TEST_F(DravikCliTest, RunsThatCannotStartExitOne) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"only-one"},
        {"a", "b", "c"},
        {"--config"},
        {"--bogus", "a", "b"},
        {"", "b"},
        {"a", ""},
        {"--log", (dir.Path() / "no/such/dir/log.txt").string(), "a", "b"},
    };
    for (const auto& args : cases) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << testing::PrintToString(args);
        EXPECT_FALSE(r.err.empty()) << testing::PrintToString(args);
        EXPECT_TRUE(r.out.empty()) << testing::PrintToString(args);
    }
    EXPECT_FALSE(fs::exists(exportDir));
}

}  // namespace
