#include <gtest/gtest.h>

#include "dravik/core/palette.h"
#include "dravik/core/wfile.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;
using dravik::EntryInfo;

namespace {

EntryInfo Info(const Bytes& record) {
    EntryInfo info;
    std::copy(record.begin(), record.end(), info.bytes.begin());
    return info;
}

TEST(EntryPaletteName, FollowsTheThreePatterns) {
    Bytes farBlock = WeaponInfo(0);
    kd::StoreU32(farBlock.data() + 4, 254);  // EquipInfo would end past the 256-byte buffer
    farBlock.resize(256, 0);
    farBlock[254] = 9;  // EquipSub low byte; everything beyond the buffer reads 0
    struct Case {
        Bytes record;
        const char* name;
    } cases[] = {
        {EquipInfo(25, 3), "mypal/equip\\25_3.pal"},
        {EquipInfo(8191, 2), "mypal/equip\\8191_2.pal"},
        {EquipInfo(8192, 2), "mypal/equip\\8192.pal"},
        {EquipInfo(-1, 2), "mypal/equip\\-1.pal"},      // stored as 0xFFFF
        {EquipInfo(-32768, 0), "mypal/equip\\-32768.pal"},
        {EquipInfo(0, -5), "mypal/equip\\0_-5.pal"},
        {WeaponInfo(7), "mypal/weapon\\7.pal"},
        {WeaponInfo(-2), "mypal/weapon\\-2.pal"},
        {Bytes{1, 2, 3, 4}, "mypal/weapon\\0.pal"},     // length 4: only the unused field
        {farBlock, "mypal/equip\\0_9.pal"},
    };
    for (const Case& c : cases) EXPECT_EQ(dravik::EntryPaletteName(Info(c.record)), c.name);
}

struct PalCase {
    const char* name;
    Bytes file;
    std::vector<std::pair<int, uint16_t>> expected;  // index, value; all others 0
    bool notAPal = false;
};

std::vector<PalColour> Ramp(int n) {
    std::vector<PalColour> c;
    for (int i = 0; i < n; ++i) c.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 8)});
    return c;
}

uint16_t Rgb565(PalColour c) { return uint16_t((c.Red >> 3) << 11 | (c.Green >> 2) << 5 | c.Blue >> 3); }

std::vector<std::pair<int, uint16_t>> RampValues(int from, int to) {
    std::vector<std::pair<int, uint16_t>> v;
    const auto c = Ramp(to);
    for (int i = from; i < to; ++i) v.push_back({i, Rgb565(c[size_t(i)])});
    return v;
}

class LoadPaletteTest : public testing::TestWithParam<PalCase> {};

TEST_P(LoadPaletteTest, ConvertsTheEntries) {
    const PalCase& c = GetParam();
    TempDir dir;
    dravik::Log log;
    log.Open(dir.Path() / "log.txt");
    dravik::WPackages packages;
    packages.Add("pal", dravik::MakeMemoryPackage({{"mypal/weapon/3.pal", c.file}}));
    dravik::WFile file(packages);
    dravik::EntryPalette palette{};
    dravik::LoadEntryPalette(log, Info(WeaponInfo(3)), file, palette);

    dravik::EntryPalette expected{};
    for (auto [i, v] : c.expected) expected[size_t(i)] = v;
    EXPECT_EQ(palette, expected);
    log.Close();
    const auto lines = ReadLogLines(dir.Path() / "log.txt");
    if (c.notAPal) EXPECT_EQ(lines, std::vector<std::string>{"[ERROR] mypal/weapon\\3.pal is not a pal file."});
    else EXPECT_TRUE(lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadPaletteTest,
    testing::Values(
        PalCase{"white", BuildPal({{255, 255, 255}}), {{0, 0xFFFF}}},
        PalCase{"count_16", BuildPal(Ramp(16)), RampValues(0, 16)},
        PalCase{"count_300_reads_256", BuildPal(Ramp(300), 300), RampValues(0, 256)},
        PalCase{"skip_12", BuildPal(Ramp(4), 4, 12), RampValues(0, 4)},
        PalCase{"count_zero", BuildPal(Ramp(4), 0), {}},
        PalCase{"count_negative", BuildPal(Ramp(4), -1), {}},
        // A negative skip does not move: the entries are read right after the counts.
        PalCase{"skip_negative", [] {
                    Bytes b = BuildPal(Ramp(2), 2);
                    kd::StoreU16(b.data() + 6, uint16_t(-4));
                    return b;
                }(), RampValues(0, 2)},
        // A file shorter than its count: the missing entries stay 0.
        PalCase{"truncated", [] {
                    Bytes b = BuildPal(Ramp(3), 8);
                    b.resize(b.size() - 4);
                    return b;
                }(), RampValues(0, 2)},
        PalCase{"wrong_magic", BuildPal(Ramp(4), 4, 0, 0x6C61702F), {}, true},
        PalCase{"empty_file", Bytes{}, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadEntryPalette, NameNotFoundLeavesThePaletteZeroSilently) {
    TempDir dir;
    dravik::Log log;
    log.Open(dir.Path() / "log.txt");
    dravik::WPackages packages;
    packages.Add("pal", dravik::MakeMemoryPackage({{"mypal/weapon/4.pal", BuildPal(Ramp(4))}}));
    dravik::WFile file(packages);
    dravik::EntryPalette palette{};
    dravik::LoadEntryPalette(log, Info(WeaponInfo(3)), file, palette);
    EXPECT_EQ(palette, dravik::EntryPalette{});
    log.Close();
    EXPECT_TRUE(ReadLogLines(dir.Path() / "log.txt").empty());
}

}  // namespace
