#include "kromby/scheme/segment_text.h"

#include <gtest/gtest.h>

#include "tests/kromby/sprite/sprite_test_util.h"

using fixture::ErrorOf;

namespace {

struct IntCase {
    const char* text;
    int64_t value;  // or kRefused
};
constexpr int64_t kRefused = INT64_MIN;

class Conversion : public testing::TestWithParam<IntCase> {};

TEST_P(Conversion, FollowsThePlatformRules) {
    const IntCase& c = GetParam();
    if (c.value == kRefused) {
        EXPECT_EQ(ErrorOf([&] { StrToInt(c.text); }),
                  "'" + std::string(c.text) + "' is not a valid integer value");
    } else {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    StrToInt, Conversion,
    testing::Values(IntCase{"0", 0}, IntCase{"255", 255}, IntCase{"  42", 42}, IntCase{"+7", 7},
                    IntCase{"-12", -12}, IntCase{" -0", 0}, IntCase{"$FF", 255},
                    IntCase{"0x1f", 31}, IntCase{"0X10", 16}, IntCase{"-$10", -16},
                    IntCase{"$FFFFFFFF", -1}, IntCase{"2147483647", 2147483647},
                    IntCase{"-2147483648", INT32_MIN}, IntCase{"2147483648", kRefused},
                    IntCase{"$100000000", kRefused}, IntCase{"", kRefused}, IntCase{" ", kRefused},
                    IntCase{"-", kRefused}, IntCase{"$", kRefused}, IntCase{"0x", kRefused},
                    IntCase{"10 ", kRefused}, IntCase{"1a", kRefused}, IntCase{"$G", kRefused},
                    IntCase{"1.5", kRefused}, IntCase{"--1", kRefused},
                    IntCase{"20~30", kRefused}));

TEST(SegmentLines, ParsesRangesAsTypedSkippingEmptyLines) {
    const TypedSegments t = ParseSegmentLines({"0~99", "", "100~ 255", "200~100", "$10~0x20"});
    const DyeMatrix m{255, 0, 0, 0, 255, 0, 0, 0, 255};
    EXPECT_EQ(t.Segments, (DyeSegmentList{{0, 99, m}, {100, 255, m}, {200, 100, m}, {16, 32, m}}));
    EXPECT_EQ(t.Items, (std::vector<std::string>{"0~99", "100~ 255", "200~100", "$10~0x20"}));
}

TEST(SegmentLines, NoLinesGiveTheWholePaletteLabelledWithItsExclusiveEnd) {
    for (const auto& lines : {std::vector<std::string>{}, std::vector<std::string>{"", ""}}) {
        const TypedSegments t = ParseSegmentLines(lines);
        ASSERT_EQ(t.Segments.size(), 1u);
        EXPECT_EQ(t.Segments[0].First, 0);
        EXPECT_EQ(t.Segments[0].Last, 255);
        EXPECT_EQ(t.Items, std::vector<std::string>{"0~256"});
    }
}

TEST(SegmentLines, AnyBadLineRefusesTheWholeText) {
    const struct {
        std::vector<std::string> lines;
        std::string message;
    } cases[] = {
        {{"0~99", "10 ~20"}, "'10 ' is not a valid integer value"},
        {{"0~99", "  "}, "'  ' is not a valid integer value"},  // blanks are a line
        {{"5"}, "'' is not a valid integer value"},
        {{"~5"}, "'' is not a valid integer value"},
        {{"1~2~3"}, "'2~3' is not a valid integer value"},
        {{"0~99", "0~256"}, "只有0~255号调色板是可用的!"},
        {{"-1~5"}, "只有0~255号调色板是可用的!"},
        {{"0~300", "abc~1"}, "'abc' is not a valid integer value"},  // conversion comes first
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf([&] { ParseSegmentLines(c.lines); }), c.message);
}

}  // namespace
