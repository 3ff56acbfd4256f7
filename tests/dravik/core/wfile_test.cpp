#include <gtest/gtest.h>

#include "dravik/core/wfile.h"
#include "tests/support/cache_package.h"
#include "kd/file_io.h"
#include "tests/support/temp_dir.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const dravik::WPackages& packages, const std::string& name) {
    dravik::WFile file(packages);
    if (file.Open(name) != 0) return "<absent>";
    std::string out(64, '\0');
    int32_t got = 0;
    file.Read(out.data(), 64, &got);
    out.resize(size_t(got));
    return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

enum class Kind { Zip, Directory };

class PackageTest : public testing::TestWithParam<Kind> {
protected:
    // Opens a package named `name` in the game directory holding `files`.
    uint32_t Make(const std::string& name, const std::map<std::string, Bytes>& files) {
        const fs::path at = game.Path() / name;
        if (GetParam() == Kind::Zip) {
            WriteZipPackage(at, files);
        } else {
            for (const auto& [file, bytes] : files) {
                fs::create_directories((at / file).parent_path());
                kd::WriteWholeFile(at / file, bytes);
            }
        }
        return packages.OpenDataFile(name, game.Path());
    }
    TempDir game;
    dravik::WPackages packages;
};

TEST_P(PackageTest, MatchesNamesIgnoringCaseAndSeparatorKind) {
    ASSERT_EQ(Make("mypal.wdf", {{"mypal/equip/25_3.pal", Text("A")}, {"Mypal/Weapon/7.PAL", Text("B")}}), 0u);
    struct Case {
        const char* name;
        const char* contents;
    } cases[] = {
        {"mypal/equip\\25_3.pal", "A"}, {"MYPAL\\EQUIP\\25_3.PAL", "A"}, {"mypal//equip/./25_3.pal", "A"},
        {"mypal/weapon\\7.pal", "B"},   {"mypal/equip\\25_4.pal", "<absent>"},
        {"mypal/equip/../equip/25_3.pal", "<absent>"}, {"", "<absent>"}, {"mypal", "<absent>"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(packages, c.name), c.contents) << c.name;
}

TEST_P(PackageTest, PackageOpenedLastWinsAndReopeningChangesNothing) {
    ASSERT_EQ(Make("one.wdf", {{"a.pal", Text("one")}, {"only1.pal", Text("1")}}), 0u);
    ASSERT_EQ(Make("two.wdf", {{"A.pal", Text("two")}}), 0u);
    EXPECT_EQ(ReadAll(packages, "a.pal"), "two");
    EXPECT_EQ(ReadAll(packages, "only1.pal"), "1");
    EXPECT_EQ(packages.OpenDataFile("one.wdf", game.Path()), 0u);
    EXPECT_EQ(packages.OpenDataFile((game.Path() / "sub/../one.wdf").string(), "/elsewhere"), 0u);
    EXPECT_EQ(packages.Count(), 2u);
    EXPECT_EQ(ReadAll(packages, "a.pal"), "two");
    packages.CloseAllDataFile();
    EXPECT_EQ(ReadAll(packages, "a.pal"), "<absent>");
}

INSTANTIATE_TEST_SUITE_P(Kinds, PackageTest, testing::Values(Kind::Zip, Kind::Directory),
                         [](const auto& info) { return info.param == Kind::Zip ? "Zip" : "Directory"; });

TEST(WPackages, OpenFailures) {
    TempDir game;
    kd::WriteWholeFile(game.Path() / "not-a-zip.wdf", Text("plain text, not an archive"));
    dravik::WPackages packages;
    for (const char* name : {"", "missing.wdf", "not-a-zip.wdf"})
        EXPECT_NE(packages.OpenDataFile(name, game.Path()), 0u) << name;
    EXPECT_EQ(packages.Count(), 0u);
}

TEST(WFile, ReadAndSkip) {
    dravik::WPackages packages;
    packages.Add("m", dravik::MakeMemoryPackage({{"f", Text("0123456789")}}));
    dravik::WFile file(packages);
    ASSERT_EQ(file.Open("F"), 0u);
    char buf[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    file.Skip(-3);  // does not move
    file.Skip(2);
    EXPECT_EQ(file.Read(buf, 3, nullptr), 0u);
    EXPECT_EQ(std::string(buf, 3), "234");
    file.Skip(3);
    int32_t got = -1;
    EXPECT_NE(file.Read(buf, 8, &got), 0u);  // only "89" is left
    EXPECT_EQ(got, 2);
    EXPECT_EQ(std::string(buf, 8), "894xxxxx");  // bytes past the end leave the rest as it was
}

}  // namespace
