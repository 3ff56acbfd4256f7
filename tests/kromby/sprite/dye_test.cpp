#include <gtest/gtest.h>

#include "tests/kromby/sprite/sprite_test_util.h"

using namespace fixture;

namespace {

uint16_t Rgb(int r, int g, int b) {
    return uint16_t(r << 11 | g << 5 | b);
}

TWasFile WithPalette(const WasPalette& pal) {
    Sprite s;
    s.Palette = pal;
    return LoadBytes(s.Build());
}

struct DyeCase {
    const char* name;
    uint16_t entry;
    DyeMatrix m;
    uint16_t expected;
};

class DyeOneEntry : public testing::TestWithParam<DyeCase> {};

TEST_P(DyeOneEntry, ComputesInChannelUnitsWithWrapAndClamp) {
    WasPalette pal{};
    pal[42] = GetParam().entry;
    TWasFile was = WithPalette(pal);
    was.DyeRange(42, 42, GetParam().m);
    EXPECT_EQ(was.GetPalette()[42], GetParam().expected);
}

constexpr uint32_t kMinus256 = 0xFFFFFF00u;

INSTANTIATE_TEST_SUITE_P(
    Dye, DyeOneEntry,
    testing::Values(
        DyeCase{"Identity", Rgb(17, 33, 9), kIdentityMatrix, Rgb(17, 33, 9)},
        DyeCase{"DiagonalOf255Truncates",
                Rgb(31, 63, 31),
                {255, 0, 0, 0, 255, 0, 0, 0, 255},
                Rgb(30, 62, 30)},
        DyeCase{"DiagonalOf512Clamps",
                Rgb(20, 40, 10),
                {512, 0, 0, 0, 512, 0, 0, 0, 512},
                Rgb(31, 63, 20)},
        DyeCase{"GreenIntoRedKeepsSixBitUnits",
                Rgb(0, 40, 0),
                {0, 256, 0, 0, 0, 0, 0, 0, 0},
                Rgb(31, 0, 0)},
        DyeCase{"GreenIntoRedBelowTheClamp",
                Rgb(0, 20, 0),
                {0, 256, 0, 0, 0, 0, 0, 0, 0},
                Rgb(20, 0, 0)},
        DyeCase{"NegativeWeightSaturates",
                Rgb(1, 0, 0),
                {kMinus256, 0, 0, 0, 0, 0, 0, 0, 0},
                Rgb(31, 0, 0)},
        DyeCase{"NegativeWeightOnZeroStaysZero",
                Rgb(0, 5, 5),
                {kMinus256, 0, 0, 0, 0, 0, 0, 0, 0},
                Rgb(0, 0, 0)},
        // 0x80000000 * 2 wraps to 0 before the shift.
        DyeCase{"ProductsWrap", Rgb(2, 0, 0), {0x80000000u, 0, 0, 0, 0, 0, 0, 0, 0}, Rgb(0, 0, 0)},
        DyeCase{"SwapRedAndBlue", Rgb(31, 0, 4), {0, 0, 256, 0, 256, 0, 256, 0, 0}, Rgb(4, 0, 31)}),
    [](const auto& info) { return info.param.name; });

TEST(Dye, TouchesOnlyItsRangeAndAlwaysStartsFromTheFile) {
    TWasFile was = WithPalette(DistinctPalette());
    const WasPalette file = DistinctPalette();
    const DyeMatrix half{128, 0, 0, 0, 128, 0, 0, 0, 128};

    was.DyeRange(5, 5, half);
    WasPalette once = was.GetPalette();
    WasPalette expected = file;
    expected[5] = once[5];
    EXPECT_EQ(once, expected);
    EXPECT_NE(once[5], file[5]);

    was.DyeRange(5, 5, half);
    EXPECT_EQ(was.GetPalette(), once);  // no stacking

    was.DyeRange(0, 255, kIdentityMatrix);
    EXPECT_EQ(was.GetPalette(), file);
}

TEST(Dye, BadRangesRaiseAndReversedRangesDoNothing) {
    TWasFile was = WithPalette(DistinctPalette());
    const DyeMatrix zero{};
    for (auto [first, last] : {std::pair{-1, 5}, std::pair{0, 256}}) {
        EXPECT_EQ(ErrorOf([&] { was.DyeRange(first, last, zero); }), "只有0~255号调色板是可用的!");
        EXPECT_EQ(was.GetPalette(), DistinctPalette());
    }
    was.DyeRange(10, 5, zero);
    EXPECT_EQ(was.GetPalette(), DistinctPalette());
}

TEST(Dye, SnapshotsRestoreAndResetReturnsToTheFile) {
    TWasFile was = WithPalette(DistinctPalette());
    const WasPalette snapshot = was.GetPalette();
    was.DyeRange(0, 100, DyeMatrix{});
    was.SetPalette(snapshot);
    EXPECT_EQ(was.GetPalette(), DistinctPalette());
    was.DyeRange(0, 255, DyeMatrix{});
    was.ResetPalette();
    EXPECT_EQ(was.GetPalette(), DistinctPalette());
    EXPECT_EQ(was.FilePalette(), DistinctPalette());
}

}  // namespace
