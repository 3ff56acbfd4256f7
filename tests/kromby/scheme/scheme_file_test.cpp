#include "kromby/scheme/scheme_file.h"

#include <gtest/gtest.h>

#include "kd/file_io.h"
#include "kd/le.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;

namespace {

// A .wsln image written field by field, independent of the code under test.
Bytes SchemeBytes(int32_t count, const std::vector<std::array<uint32_t, 11>>& records,
                  const char* magic = "wsln") {
    Bytes out(magic, magic + 4);
    auto put = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k) out.push_back(uint8_t(v >> (8 * k)));
    };
    put(uint32_t(count));
    for (const auto& r : records)
        for (uint32_t v : r) put(v);
    return out;
}

const std::array<uint32_t, 11> kDefaultRecord{0, 255, 256, 0, 0, 0, 256, 0, 0, 0, 256};

TEST(SchemeFile, DefaultSchemeIsFiftyTwoBytes) {
    EXPECT_EQ(SerializeScheme(DefaultScheme()), SchemeBytes(1, {kDefaultRecord}));
    EXPECT_EQ(SerializeScheme({}), SchemeBytes(0, {}));
    EXPECT_EQ(SerializeScheme({}).size(), 8u);
}

TEST(SchemeFile, RoundTripKeepsEveryFieldIncludingNegativeWeights) {
    const DyeSegmentList scheme{
        {0, 99, {256, 0, 0, 0, 256, 0, 0, 0, 256}},
        {100, 50, {1, 2, 3, 4, 5, 6, 7, 8, 9}},  // reversed: kept, does nothing
        {7, 255, {0xFFFFFF00u, 512, 0, 0, 0, 0, 0, 0, 0x80000000u}},
    };
    EXPECT_EQ(ParseScheme(SerializeScheme(scheme)), scheme);

    TempDir dir;
    WriteSchemeFile(dir / "s.wsln", scheme);
    EXPECT_EQ(ReadSchemeFile(dir / "s.wsln"), scheme);
}

struct BadScheme {
    const char* name;
    Bytes bytes;
    std::string message;
};

class RefusedSchemes : public testing::TestWithParam<BadScheme> {};

TEST_P(RefusedSchemes, WithTheirMessage) {
    EXPECT_EQ(ErrorOf([&] { ParseScheme(GetParam().bytes); }), GetParam().message);
}

const std::string kNotAScheme = "这不是有效的配色方案！";
const std::string kBadRange = "只有0~255号调色板是可用的!";

Bytes Cut(Bytes b, size_t n) {
    b.resize(b.size() - n);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    SchemeFile, RefusedSchemes,
    testing::Values(
        BadScheme{"WrongMagic", SchemeBytes(1, {kDefaultRecord}, "wsIn"), kNotAScheme},
        BadScheme{"Empty", {}, kNotAScheme},
        BadScheme{"OnlyMagic", {'w', 's', 'l', 'n'}, kNotAScheme},
        BadScheme{"NegativeCount", SchemeBytes(-1, {}), kNotAScheme},
        BadScheme{"HugeCount", SchemeBytes(0x7FFFFFFF, {kDefaultRecord}), kNotAScheme},
        BadScheme{"RecordCutShort", Cut(SchemeBytes(2, {kDefaultRecord, kDefaultRecord}), 1),
                  kNotAScheme},
        BadScheme{"FirstBelowZero",
                  SchemeBytes(2, {kDefaultRecord, {0xFFFFFFFFu, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0}}),
                  kBadRange},
        BadScheme{"LastAbove255", SchemeBytes(1, {{0, 256, 0, 0, 0, 0, 0, 0, 0, 0, 0}}),
                  kBadRange}),
    [](const auto& info) { return info.param.name; });

TEST(SchemeFile, TrailingBytesAfterTheRecordsAreIgnored) {
    Bytes b = SchemeBytes(1, {kDefaultRecord});
    b.push_back(0x99);
    EXPECT_EQ(ParseScheme(b), DefaultScheme());
}

TEST(SchemeFile, AFailedWriteKeepsTheOldFile) {
    TempDir dir;
    const Bytes old = SchemeBytes(0, {});
    kd::WriteWholeFile(dir.Path() / "s.wsln", old);
    std::filesystem::create_directory(dir.Path() / "d.wsln");
    EXPECT_NE(ErrorOf([&] { WriteSchemeFile(dir / "d.wsln", DefaultScheme()); }), "");
    EXPECT_EQ(kd::ReadWholeFile(dir.Path() / "s.wsln"), old);
}

TEST(ApplyScheme, LaterSegmentsWinAndUncoveredEntriesStay) {
    Sprite s;
    s.Palette = DistinctPalette();
    TWasFile was = LoadBytes(s.Build());
    was.DyeRange(200, 200, DyeMatrix{});  // earlier dyeing outside the scheme survives
    const WasPalette before = was.GetPalette();
    ApplyScheme(was, {{0, 20, DyeMatrix{}}, {10, 30, kIdentityMatrix}});
    const WasPalette after = was.GetPalette();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(after[size_t(i)], 0) << i;
    for (int i = 10; i <= 30; ++i) EXPECT_EQ(after[size_t(i)], DistinctPalette()[size_t(i)]) << i;
    for (int i = 31; i < 256; ++i) EXPECT_EQ(after[size_t(i)], before[size_t(i)]) << i;
}

}  // namespace
