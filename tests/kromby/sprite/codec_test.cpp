#include <gtest/gtest.h>

#include <random>

#include "kd/le.h"
#include "kromby/sprite/was_codec.h"
#include "kromby/sprite/was_rows.h"
#include "tests/kromby/sprite/sprite_test_util.h"

using namespace fixture;

namespace {

struct RowCase {
    const char* name;
    int32_t width;
    Bytes codes;
    std::vector<WasPixel> expected;  // empty: the row error
};

std::vector<WasPixel> DecodeOneRow(int32_t width, const Bytes& codes) {
    const TWasImage image = LoadBytes(SingleFrameFile(RawFrame(width, {codes}))).Frames()[0];
    return image.Pixels;
}

class RowCodes : public testing::TestWithParam<RowCase> {};

TEST_P(RowCodes, DecodeExactly) {
    const RowCase& c = GetParam();
    if (c.expected.empty()) {
        EXPECT_EQ(ErrorOf([&] { DecodeOneRow(c.width, c.codes); }), RowError(0));
    } else {
        EXPECT_EQ(DecodeOneRow(c.width, c.codes), c.expected);
    }
}

const WasPixel T = Px(0, 0);

INSTANTIATE_TEST_SUITE_P(
    Codec, RowCodes,
    testing::Values(
        RowCase{"EndOfRowLeavesRowTransparent", 3, {0x00}, {T, T, T}},
        RowCase{"AlphaRunMasksAlphaToFiveBits",
                6,
                {0x05, 0xFF, 0x10, 0x00},
                {Px(31, 16), Px(31, 16), Px(31, 16), Px(31, 16), Px(31, 16), T}},
        RowCase{"SingleAlphaPixelMayBeTransparentWithIndex", 2, {0x20, 0x07, 0x00}, {Px(0, 7), T}},
        RowCase{"SingleAlphaPixel", 1, {0x3F, 0x09}, {Px(31, 9)}},
        RowCase{"LiteralRunIsOpaque", 3, {0x43, 1, 2, 3}, {Px(32, 1), Px(32, 2), Px(32, 3)}},
        RowCase{"RepeatRun", 3, {0x82, 0x09, 0x00}, {Px(32, 9), Px(32, 9), T}},
        RowCase{
            "EmptyRepeatStillConsumesItsIndex", 2, {0x80, 0x55, 0x41, 0x06, 0x00}, {Px(32, 6), T}},
        RowCase{"SkipLeavesTransparent", 6, {0xC4, 0x81, 0x03, 0x00}, {T, T, T, T, Px(32, 3), T}},
        RowCase{
            "EmptySkipAndLiteralConsumeOnlyThemselves", 1, {0xC0, 0x40, 0x81, 0x02}, {Px(32, 2)}},
        // A run that fills the row ends it: the next byte (which would be an error) is not read.
        RowCase{"FullRowNeedsNoEndCode",
                4,
                {0x84, 0x01, 0xFF},
                {Px(32, 1), Px(32, 1), Px(32, 1), Px(32, 1)}},
        RowCase{"RunEndingExactlyAtTheEdge", 4, {0xC2, 0x82, 0x05}, {T, T, Px(32, 5), Px(32, 5)}},
        RowCase{"RepeatPastTheEdge", 4, {0x85, 0x01}, {}},
        RowCase{"LiteralPastTheEdge", 2, {0x43, 1, 2, 3}, {}},
        RowCase{"AlphaRunPastTheEdge", 2, {0x03, 0x10, 0x01}, {}},
        RowCase{"SkipPastTheEdge", 3, {0xC4}, {}},
        // Data that ends inside a row: never read beyond it, never loop.
        RowCase{"NoCodesAtAll", 2, {}, {}}, RowCase{"LiteralCutShort", 4, {0x44, 1, 2}, {}},
        RowCase{"RepeatWithoutIndex", 4, {0x82}, {}},
        RowCase{"AlphaRunWithoutOperands", 4, {0x02, 0x10}, {}},
        RowCase{"SinglePixelWithoutIndex", 4, {0x21}, {}},
        RowCase{"EmptyRunsUntilTheEnd", 4, {0xC0, 0x40, 0xC0}, {}}),
    [](const auto& info) { return info.param.name; });

TEST(DecodeFrame, ReportsTheFailingRowCountedFromZero) {
    const Bytes ok = {0x81, 0x01};
    const std::string error = ErrorOf([&] {
        LoadBytes(SingleFrameFile(RawFrame(1, {ok, ok, {0x82, 0x01}})));
    });
    EXPECT_EQ(error, RowError(2));
}

TEST(DecodeFrame, RowsAreReachedThroughTheirOffsets) {
    // Two rows sharing one code sequence, stored once.
    Frame f = RawFrame(2, {{0x82, 0x07}, {}});
    Sprite s;
    s.Frames.push_back(f);
    Bytes bytes = s.Build();
    const size_t block = 16 + 512 + 4;
    const uint32_t firstRow = kd::LoadU32(&bytes[block + 16]);
    kd::StoreU32(&bytes[block + 20], firstRow);
    EXPECT_EQ(LoadBytes(bytes).Frames()[0].Pixels,
              (std::vector<WasPixel>{Px(32, 7), Px(32, 7), Px(32, 7), Px(32, 7)}));
}

TEST(DecodeFrame, ZeroSizesReadNoCodes) {
    // Height 0: no row table at all; width 0: rows are never read, even with no codes behind them.
    Frame flat = RawFrame(5, {});
    Frame thin = RawFrame(0, {{}, {}, {}});
    for (const Frame& f : {flat, thin}) {
        const TWasImage image = LoadBytes(SingleFrameFile(f)).Frames()[0];
        EXPECT_TRUE(image.Pixels.empty());
        EXPECT_EQ(image.Width, f.Width);
        EXPECT_EQ(image.Height, f.Height);
    }
}

TEST(DecodeFrame, EncoderRoundTripUsesEveryCode) {
    // Every code class in one frame, decoded back to the pixels it came from.
    std::vector<WasPixel> px;
    const WasPixel row0[] = {T,         T,         Px(32, 1), Px(32, 1), Px(32, 1), Px(32, 1),
                             Px(32, 2), Px(32, 3), Px(12, 9), Px(12, 9), Px(12, 9), Px(5, 4),
                             Px(0, 8),  T,         T,         T};
    const WasPixel row1[] = {Px(32, 200), T, T, T, T, T, T, T, T, T, T, T, T, T, T, Px(31, 1)};
    px.insert(px.end(), std::begin(row0), std::end(row0));
    px.insert(px.end(), std::begin(row1), std::end(row1));
    const Frame f = Frame::Encode(3, 4, 16, 2, px);
    const TWasImage image = LoadBytes(SingleFrameFile(f)).Frames()[0];
    EXPECT_EQ(image.Pixels, px);
    EXPECT_EQ(image.KeyX, 3);
    EXPECT_EQ(image.KeyY, 4);
}

// Frames large enough that rows are decoded away from the end of the data and of the pixel
// array, where codes are decoded eight pixels at a time.
std::vector<WasPixel> RandomRuns(std::mt19937& rng, int w, int h) {
    std::vector<WasPixel> px;
    while (px.size() < size_t(w * h)) {
        const int kind = int(rng() % 5), n = 1 + int(rng() % 70);
        const auto index = uint8_t(rng());
        for (int k = 0; k < n; ++k)
            px.push_back(kind == 0   ? Px(0, 0)
                         : kind == 1 ? Px(32, index)
                         : kind == 2 ? Px(32, int(rng() % 256))
                         : kind == 3 ? Px(int(rng() % 32), index)
                                     : Px(0, int(rng() % 256)));
    }
    px.resize(size_t(w * h));
    return px;
}

TEST(DecodeFrame, LargeFramesRoundTrip) {
    std::mt19937 rng(42);
    Sprite s;
    s.Header.FramesPerDirection = 3;
    std::vector<std::vector<WasPixel>> sources;
    for (const auto& [w, h] : {std::pair{150, 40}, std::pair{9, 200}, std::pair{300, 3}}) {
        sources.push_back(RandomRuns(rng, w, h));
        s.Frames.push_back(Frame::Encode(0, 0, w, h, sources.back()));
    }
    const TWasFile was = LoadBytes(s.Build());
    for (size_t i = 0; i < sources.size(); ++i) EXPECT_EQ(was.Frames()[i].Pixels, sources[i]) << i;

    // Reloading into the same document reuses its memory and must not show the old pixels.
    TWasFile again = LoadBytes(s.Build());
    Sprite other = s;
    for (auto& f : other.Frames)
        f = Frame::Encode(0, 0, f->Width, f->Height, RandomRuns(rng, f->Width, f->Height));
    again.LoadFromMemory(other.Build(), "other.was");
    again.LoadFromMemory(s.Build(), "again.was");
    for (size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(again.Frames()[i].Pixels, sources[i]) << i;
}

TEST(DecodeFrame, LargeFrameReportsItsFirstBadRow) {
    std::mt19937 rng(5);
    const int w = 100, h = 60;
    Frame f = Frame::Encode(0, 0, w, h, RandomRuns(rng, w, h));
    for (int bad : {41, 17})
        f.Rows[size_t(bad)].insert(f.Rows[size_t(bad)].begin(), 0xBF);  // a run of 63
    f.Rows[7].insert(f.Rows[7].begin(), 0x00);                          // ends row 7 early: fine
    Sprite s;
    s.Frames.push_back(f);
    s.Trailing.assign(200, 0xFF);  // codes far from the end of the data
    EXPECT_EQ(ErrorOf([&] { LoadBytes(s.Build()); }), RowError(17));
}

// Every row decoder this processor has must give the careful decoder's pixels, or its error, on
// frames that take the vector decoders' edges: narrow and odd frames, rows that end early, empty
// or exactly full, codes that consume no pixels, long runs, codes at the very end of the data,
// and bad rows in either half of the frame.
struct Decoded {
    std::vector<WasPixel> pixels;
    std::string error;
    bool operator==(const Decoded&) const = default;
};

Decoded DecodeFirstFrame(const Bytes& file, RowDecoder decoder) {
    const uint64_t pos = 16 + kd::LoadU32(&file[kWasHeaderBytes + kWasPaletteBytes]);
    TWasImage image;
    uint64_t budget = uint64_t(1) << 24;
    std::vector<const uint8_t*> scratch;
    const std::string error =
        ErrorOf([&] { DecodeFrame(image, file, pos, budget, 0, scratch, decoder); });
    return error.empty() ? Decoded{image.Pixels, ""} : Decoded{{}, error};
}

Bytes Literal(int n, int first) {
    Bytes b{uint8_t(0x40 | n)};
    for (int k = 0; k < n; ++k) b.push_back(uint8_t(first + k));
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct FrameCase {
    const char* name;
    Frame frame;
    size_t trailing;            // bytes after the frame block
    std::string expectedError;  // of the careful decoder; "" when the frame decodes
};

std::vector<FrameCase> EdgeFrames() {
    std::mt19937 rng(7);
    auto random = [&](int w, int h) { return Frame::Encode(0, 0, w, h, RandomRuns(rng, w, h)); };
    std::vector<FrameCase> cases = {
        {"Wide", random(150, 40), 0, ""},          {"WideWithRoomAfter", random(150, 41), 200, ""},
        {"NarrowestVector", random(32, 7), 0, ""}, {"JustTooNarrow", random(31, 7), 0, ""},
        {"TwoRows", random(64, 2), 100, ""},       {"ThreeRows", random(300, 3), 0, ""},
    };
    // Rows ending at every kind of place, among codes that consume no pixels.
    const Bytes full = Join({{0xC0, 0x40, 0x80, 0x07}, Literal(63, 1), {0x81, 2}});  // 64 pixels
    const Bytes early = Join({Literal(5, 9), {0x00}});
    const Bytes empty = {0x00};
    const Bytes longRuns = {0xBF, 3, 0x21, 4, 0x1F, 0x33, 4, 0xA1, 5};  // 63 + 1, then 31 + 33
    cases.push_back(
        {"RowEnds", RawFrame(64, {full, early, empty, longRuns, empty, full, early}), 0, ""});
    cases.push_back({"RowEndsWithRoomAfter",
                     RawFrame(64, {early, full, empty, longRuns, full, early}), 300, ""});
    // Wide transparent tails decoded at the last code position the vector decoders take.
    cases.push_back({"EmptyRowsNearTheEnd", RawFrame(300, {empty, empty, empty, empty}),
                     size_t(was_rows::kInputSlack) - 2, ""});
    // Overruns: in each half, in the rows decoded last, and rows past the data.
    const Bytes overrun = {0xC5, 0xBF, 1};
    auto withBad = [&](std::initializer_list<int> bad) {
        Frame f = random(100, 60);
        for (int r : bad) f.Rows[size_t(r)] = Join({Literal(40, 0), overrun});
        return f;
    };
    cases.push_back({"BadRowsInBothHalves", withBad({41, 17}), 200, RowError(17)});
    cases.push_back({"BadRowOnlyInTheBottomHalf", withBad({45}), 0, RowError(45)});
    cases.push_back({"BadLastRowOfTheTopHalf", withBad({29, 50}), 200, RowError(29)});
    cases.push_back({"BadLastRow", withBad({59}), 0, RowError(59)});
    Frame cut = random(80, 9);
    cut.Rows.back().resize(cut.Rows.back().size() / 2);
    cases.push_back({"DataEndsInTheLastRow", cut, 0, RowError(8)});
    return cases;
}

TEST(RowDecoders, AgreeWithTheCarefulDecoder) {
    for (const FrameCase& c : EdgeFrames()) {
        Sprite s;
        s.Frames.push_back(c.frame);
        s.Trailing.assign(c.trailing, 0xEE);
        const Bytes built = s.Build(), file(built.begin(), built.end());  // no spare capacity
        const Decoded careful = DecodeFirstFrame(file, RowDecoder::kCareful);
        EXPECT_EQ(careful.error, c.expectedError) << c.name;
        for (const RowDecoder d : {RowDecoder::kSse2, RowDecoder::kAvx2, RowDecoder::kBest}) {
            if (!RowDecoderAvailable(d)) continue;
            EXPECT_EQ(DecodeFirstFrame(file, d), careful) << c.name << ", decoder " << int(d);
        }
    }
}

}  // namespace
