#include "kromby/cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "kd/file_io.h"
#include "kromby/scheme/scheme_file.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int code;
    std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = KrombyCli(args, out, err);
    return {code, out.str(), err.str()};
}

class KrombyCliTest : public testing::Test {
  protected:
    void SetUp() override {
        Sprite s;
        s.Header.Directions = 2;
        s.Header.FramesPerDirection = 1;
        s.Palette = DistinctPalette();
        for (int i = 0; i < 2; ++i)
            s.Frames.push_back(Frame::Encode(0, 0, 1, 1, std::vector{Px(32, 9)}));
        sprite = s.Build();
        kd::WriteWholeFile(dir.Path() / "hero.was", sprite);
        WriteSchemeFile(dir / "black.wsln", {{0, 255, DyeMatrix{}}});
    }
    TempDir dir;
    Bytes sprite;
};

TEST_F(KrombyCliTest, SaveAppliesTheSchemeToThePaletteOnly) {
    const CliRun r =
        Cli({"save", dir / "hero.was", dir / "out.was", "--scheme", dir / "black.wsln"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Bytes out = kd::ReadWholeFile(dir.Path() / "out.was");
    Bytes expected = sprite;
    std::fill(expected.begin() + 16, expected.begin() + 16 + 512, 0);
    EXPECT_EQ(out, expected);
}

TEST_F(KrombyCliTest, ExportWritesEveryFrameBesideTheSprite) {
    const CliRun r = Cli({"export", dir / "hero.was"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir.Path() / "hero0000.tga"));
    EXPECT_TRUE(fs::exists(dir.Path() / "hero1000.tga"));
}

TEST_F(KrombyCliTest, InfoListsTheFrames) {
    const CliRun r = Cli({"info", dir / "hero.was"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Directions:  2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("    1    1    0       1       1"), std::string::npos) << r.out;
}

TEST_F(KrombyCliTest, ErrorsGoToStandardErrorWithExitCodeOne) {
    kd::WriteWholeFile(dir.Path() / "bad.wsln", Bytes{'n', 'o', 'p', 'e', 0, 0, 0, 0});
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "no command"},
        {{"paint", dir / "hero.was"}, "unknown command"},
        {{"save", dir / "hero.was"}, "FILE and OUT"},
        {{"export", dir / "hero.was", "--scheme"}, "--scheme needs"},
        {{"export", dir / "missing.was"}, "missing.was"},
        {{"export", dir / "hero.was", "--scheme", dir / "bad.wsln"}, "这不是有效的配色方案！"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir.Path() / "hero0000.tga"));  // a refused scheme writes nothing
}

TEST(KrombyCliHelp, HelpAndVersionSucceed) {
    EXPECT_EQ(Cli({"--help"}).code, 0);
    EXPECT_NE(Cli({"--version"}).out.find("kromby-cli 2.0"), std::string::npos);
}

}  // namespace
