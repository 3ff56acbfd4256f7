#include <gtest/gtest.h>

#include "dravik/core/config.h"
#include "dravik/core/run.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;

namespace {

std::string Names(int from, int to) {
    std::string s;
    for (int i = from; i < to; ++i) s += "name" + std::to_string(i) + "=p" + std::to_string(i) + ".wdf\n";
    return s;
}

std::vector<std::string> Expected(int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) v.push_back("p" + std::to_string(i) + ".wdf");
    return v;
}

struct ConfigCase {
    const char* name;
    std::string text;
    std::vector<std::string> names;
};

class ConfigTest : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTest, NamesThePackages) {
    EXPECT_EQ(dravik::PackageNamesFromConfig(GetParam().text), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, ConfigTest,
    testing::Values(
        ConfigCase{"empty", "", {"mypal.wdf"}},
        ConfigCase{"num_missing", "[wdf]\nname0=a.wdf\n", {"mypal.wdf"}},
        ConfigCase{"num_zero", "[wdf]\nnum=0\nname0=a.wdf\n", {"mypal.wdf"}},
        ConfigCase{"num_negative", "[wdf]\nnum=-4\n", {"mypal.wdf"}},
        ConfigCase{"num_not_a_number", "[wdf]\nnum=many\n", {"mypal.wdf"}},
        ConfigCase{"two_with_one_name", "[wdf]\r\nnum=2\r\nname0=a.wdf\r\n", {"a.wdf", ""}},
        ConfigCase{"num_100_reads_64", "[wdf]\nnum=100\n" + Names(0, 100), Expected(64)},
        ConfigCase{"other_section_ignored", "[other]\nnum=1\nname0=x\n[wdf]\nnum=1\nname0=y\n", {"y"}},
        ConfigCase{"case_insensitive", "[WDF]\nNUM = 1\nName0 = dir\\pal one.wdf\n", {"dir\\pal one.wdf"}},
        ConfigCase{"first_repeat_wins", "[wdf]\nnum=1\nname0=first\nname0=second\n", {"first"}},
        ConfigCase{"quotes_dropped", "[wdf]\nnum=1\nname0=\"a b.wdf\"\n", {"a b.wdf"}},
        ConfigCase{"indented_keys", "[wdf]\n  num = 2\n\tname0 = a.wdf\n    name1=b.wdf\n", {"a.wdf", "b.wdf"}},
        ConfigCase{"leading_digits", "[wdf]\nnum=2x\nname1=b\n", {"", "b"}},
        // The INI reader's own lines hold 199 bytes; a name is a path and must come whole,
        // and the lines after a long one are read as they stand.
        ConfigCase{"overlong_line", "[wdf]\nnum=1\nname0=" + std::string(300, 'a') + "\nname1=x\n",
                   {std::string(300, 'a')}},
        ConfigCase{"long_names_whole",
                   "[wdf]\r\nnum=3\r\nName0 = \"/" + std::string(258, 'p') + "\"\r\nname1=" +
                       std::string(400, 'q') + "\r\nname2=short\r\n",
                   {"/" + std::string(258, 'p'), std::string(400, 'q'), "short"}},
        // A long comment or section-less junk line is still cut, its tail never a key.
        ConfigCase{"overlong_comment", "[wdf]\nnum=1\n;" + std::string(250, 'c') + "name0=bad\nname0=good\n",
                   {"good"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenPalettePackages, LogsClosingAndEveryFailure) {
    for (const bool changed : {false, true}) {
        TempDir dir;
        const std::string ini = "[wdf]\nnum=2\nname0=pkg\n";
        kd::WriteWholeFile(dir.Path() / "config.ini", std::vector<uint8_t>(ini.begin(), ini.end()));
        std::filesystem::create_directories(dir.Path() / "game" / "pkg");
        dravik::Workspace ws;
        ws.log.Open(dir.Path() / "log.txt");
        dravik::OpenPalettePackages(ws, dir.Path() / "config.ini", dir.Path() / "game", changed);
        ws.log.Close();
        std::vector<std::string> expected = {"[ERROR] Open \"\" fails."};
        if (changed) expected.insert(expected.begin(), "[LOG] CloseAllDataFile.");
        EXPECT_EQ(ReadLogLines(dir.Path() / "log.txt"), expected);
        EXPECT_EQ(ws.packages.Count(), 1u);
    }
}

TEST(OpenPalettePackages, MissingConfigOpensTheDefaultPackage) {
    TempDir dir;
    dravik::Workspace ws;
    ws.log.Open(dir.Path() / "log.txt");
    dravik::OpenPalettePackages(ws, dir.Path() / "config.ini", dir.Path(), false);
    ws.log.Close();
    EXPECT_EQ(ReadLogLines(dir.Path() / "log.txt"),
              std::vector<std::string>{"[ERROR] Open \"mypal.wdf\" fails."});
}

// A game directory typed with or without its closing separator names the same index; one
// that ends in either separator gets none added, and a closing "\" works on every platform.
TEST(RunExtraction, GameDirectoryTakesOneSeparatorBeforeTheCachePath) {
    const std::string sep(1, char(std::filesystem::path::preferred_separator));
    struct Case {
        std::string typed, index;
    } cases[] = {
        {"game", "game" + sep + "v3d_cache" + sep + "v3d.hdr"},
        {"game" + sep, "game" + sep + "v3d_cache" + sep + "v3d.hdr"},
        {"game/", "game/v3d_cache" + sep + "v3d.hdr"},
        {"game\\", "game" + sep + "v3d_cache" + sep + "v3d.hdr"},
    };
    for (const Case& c : cases) {
        ExtractorFixture f;
        const std::string base = kd::PathToUtf8(f.dir.Path()) + sep;
        dravik::RunRequest request;
        request.gameDir = dravik::WithTrailingSeparator(base + c.typed);
        request.exportDir = dravik::WithTrailingSeparator(base + "out");
        request.configPath = f.dir.Path() / "config.ini";
        dravik::RunExtraction(f.ws, request, nullptr);
        EXPECT_EQ(Matching(f.Errors(), "[ERROR] Open \"" + base + "game"),
                  std::vector<std::string>{"[ERROR] Open \"" + base + c.index + "\" fails."})
            << c.typed;
    }
}

TEST(Log, LinesEndInCrLfAndAClosedLogStillCountsErrors) {
    TempDir dir;
    dravik::Log log;
    log.LogError("dropped");
    ASSERT_TRUE(log.Open(dir.Path() / "log.txt"));
    log.LogInfo("CloseAllDataFile.");
    log.LogError("v3d.hdr's flag error!");
    log.Close();
    const auto text = kd::ReadWholeFile(dir.Path() / "log.txt");
    EXPECT_EQ(std::string(text.begin(), text.end()),
              "[LOG] CloseAllDataFile.\r\n[ERROR] v3d.hdr's flag error!\r\n");
    EXPECT_EQ(log.ErrorCount(), 2);
}

}  // namespace
