#include <gtest/gtest.h>

#include <random>

#include "tests/kromby/sprite/sprite_test_util.h"

using namespace fixture;

namespace {

// A surface with its own storage; rows padded so that stride and width differ.
template <int N>
struct Canvas {
    int w, h;
    std::ptrdiff_t stride;
    std::vector<uint8_t> bytes;
    Canvas(int width, int height, uint8_t fill)
        : w(width), h(height), stride(width * N + 5), bytes(size_t(stride * height), fill) {}
    Surface<N> View() { return Surface<N>{w, h, stride, bytes.data()}; }
    const uint8_t* At(int x, int y) const { return bytes.data() + y * stride + x * N; }
};

// A 3 x 2 frame whose pixel (x, y) has index 10 * y + x + 1, opaque, hot spot (1, 1).
TWasFile Numbered() {
    std::vector<WasPixel> px;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) px.push_back(Px(32, 10 * y + x + 1));
    WasPalette pal{};
    for (int i = 0; i < 256; ++i) pal[size_t(i)] = uint16_t(i & 0x1F);  // blue 5-bit = index
    return LoadBytes(SingleFrameFile(Frame::Encode(1, 1, 3, 2, px), pal));
}

// Which frame pixel each surface pixel shows: its index, or 0 where nothing was drawn.
std::vector<int> Placed(int x, int y, int w, int h) {
    const TWasFile was = Numbered();
    Canvas<3> c(w, h, 0);
    was.DrawFrame(c.View(), x, y, 0);
    std::vector<int> out;
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) out.push_back(c.At(xx, yy)[0] / 8);
    return out;
}

struct ClipCase {
    const char* name;
    int x, y;
    std::vector<int> expected;  // a 4 x 3 surface, row by row
};

class Clipping : public testing::TestWithParam<ClipCase> {};

TEST_P(Clipping, DrawsExactlyTheVisiblePart) {
    EXPECT_EQ(Placed(GetParam().x, GetParam().y, 4, 3), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Render, Clipping,
    testing::Values(
        ClipCase{"HotSpotAtKeyPutsTopLeftAtOrigin", 1, 1, {1, 2, 3, 0, 11, 12, 13, 0, 0, 0, 0, 0}},
        ClipCase{"OverTheLeftEdge", 0, 1, {2, 3, 0, 0, 12, 13, 0, 0, 0, 0, 0, 0}},
        ClipCase{"OverTheTopEdge", 2, 0, {0, 11, 12, 13, 0, 0, 0, 0, 0, 0, 0, 0}},
        ClipCase{"OverTheRightEdge", 3, 2, {0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 11, 12}},
        ClipCase{"OverTheBottomEdge", 1, 3, {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0}},
        ClipCase{"OverAllCornersAtOnce", 0, 0, {12, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        ClipCase{"EntirelyLeft", -2, 1, std::vector<int>(12, 0)},
        ClipCase{"EntirelyAbove", 1, -1, std::vector<int>(12, 0)},
        ClipCase{"StartingAtTheRightEdge", 5, 1, std::vector<int>(12, 0)},
        ClipCase{"FarAway", 2000000000, -2000000000, std::vector<int>(12, 0)}),
    [](const auto& info) { return info.param.name; });

// One pixel of the given alpha and palette entry, drawn on one pixel of the given colour.
TWasFile OnePixel(int alpha, uint16_t entry) {
    WasPalette pal{};
    pal[7] = entry;
    return LoadBytes(SingleFrameFile(Frame::Encode(0, 0, 1, 1, std::vector{Px(alpha, 7)}), pal));
}

struct BlendCase {
    int alpha;
    uint16_t entry;
    uint8_t before;
    std::array<uint8_t, 3> bgr;
};

class Blending : public testing::TestWithParam<BlendCase> {};

TEST_P(Blending, TruncatesTowardZero) {
    const BlendCase& c = GetParam();
    Canvas<3> s(1, 1, c.before);
    OnePixel(c.alpha, c.entry).DrawFrame(s.View(), 0, 0, 0);
    EXPECT_EQ((std::array{s.At(0, 0)[0], s.At(0, 0)[1], s.At(0, 0)[2]}), c.bgr);
}

INSTANTIATE_TEST_SUITE_P(
    Render, Blending,
    testing::Values(BlendCase{16, 0xF800, 255, {128, 128, 252}},  // 255 + 16*(248-255)/32 = 252
                    BlendCase{16, 0x0000, 1, {1, 1, 1}},          // 1 - 16/32 -> 1 - 0
                    BlendCase{32, 0x001F, 77, {248, 0, 0}},
                    BlendCase{32, 0xFFFF, 0, {248, 252, 248}},
                    BlendCase{0, 0xFFFF, 33, {33, 33, 33}},
                    BlendCase{
                        31, 0x07E0, 100, {4, 247, 4}},  // 100 + 31*(0-100)/32 = 4; 100+31*152/32
                    BlendCase{1, 0x0005, 200, {195, 194, 194}}));

struct Replace32Case {
    int alpha;
    uint16_t entry;
    std::array<uint8_t, 4> bgra;
};

class Replacing : public testing::TestWithParam<Replace32Case> {};

TEST_P(Replacing, WidensWithLowBitsAndScalesAlpha) {
    const Replace32Case& c = GetParam();
    Canvas<4> s(1, 1, 0x5A);
    OnePixel(c.alpha, c.entry).DrawFrame32(s.View(), 0, 0, 0);
    EXPECT_EQ((std::array{s.At(0, 0)[0], s.At(0, 0)[1], s.At(0, 0)[2], s.At(0, 0)[3]}), c.bgra);
}

INSTANTIATE_TEST_SUITE_P(Render, Replacing,
                         testing::Values(Replace32Case{32, 0x001F, {255, 0, 0, 255}},
                                         Replace32Case{32, 0x0005, {45, 0, 0, 255}},
                                         Replace32Case{32, 0x0010, {128, 0, 0, 255}},
                                         Replace32Case{32, 0x07E0, {0, 255, 0, 255}},
                                         Replace32Case{32, 0x8000 | (33 << 5), {0, 133, 128, 255}},
                                         Replace32Case{31, 0xFFFF, {255, 255, 255, 248}},
                                         Replace32Case{1, 0xFFFF, {255, 255, 255, 8}},
                                         Replace32Case{0, 0xFFFF, {0, 0, 0, 0}}));

TEST(Render, ErrorsLeaveTheSurfaceAlone) {
    TWasFile empty;
    Canvas<3> s(2, 2, 9);
    Canvas<4> s32(2, 2, 9);
    EXPECT_EQ(ErrorOf([&] { empty.DrawFrame(s.View(), 0, 0, 0); }), "没加载图片，画什么啊！");
    EXPECT_EQ(ErrorOf([&] { empty.DrawFrame32(s32.View(), 0, 0, -1); }), "没加载图片，画什么啊！");

    const TWasFile was = Numbered();
    EXPECT_EQ(ErrorOf([&] { was.DrawFrame(s.View(), 0, 0, 1); }), "没有第1张图片，没法画！");
    EXPECT_EQ(ErrorOf([&] { was.DrawFrame32(s32.View(), 0, 0, -1); }), "没有第-1张图片，没法画！");
    EXPECT_EQ(s.bytes, std::vector<uint8_t>(s.bytes.size(), 9));
    EXPECT_EQ(s32.bytes, std::vector<uint8_t>(s32.bytes.size(), 9));
}

TEST(Render, DrawingComposesButReplacingClears) {
    // A half-transparent pixel over itself blends twice; DrawFrame32 just replaces.
    const TWasFile was = OnePixel(16, 0xFFFF);
    Canvas<3> s(1, 1, 0);
    was.DrawFrame(s.View(), 0, 0, 0);
    was.DrawFrame(s.View(), 0, 0, 0);
    EXPECT_EQ(s.At(0, 0)[0], 124 + (248 - 124) / 2);

    const TWasFile clear = OnePixel(0, 0xFFFF);
    Canvas<4> s32(1, 1, 0x77);
    clear.DrawFrame32(s32.View(), 0, 0, 0);
    EXPECT_EQ(s32.bytes[0], 0);
    EXPECT_EQ(s32.bytes[3], 0);
}

// The arithmetic of one pixel written out plainly, as an oracle for the block-wise drawing.
void ReferenceDraw(const TWasFile& was, Canvas<3>& c, int x, int y, int index) {
    const TWasImage& f = was.Frames()[size_t(index)];
    for (int fy = 0; fy < f.Height; ++fy)
        for (int fx = 0; fx < f.Width; ++fx) {
            const int sx = x - f.KeyX + fx, sy = y - f.KeyY + fy;
            if (sx < 0 || sy < 0 || sx >= c.w || sy >= c.h) continue;
            const WasPixel p = f.Pixels[size_t(fy * f.Width + fx)];
            const uint16_t e = was.GetPalette()[p.Index];
            const int s[3] = {(e & 31) * 8, ((e >> 5) & 63) * 4, (e >> 11) * 8};
            uint8_t* d = c.bytes.data() + sy * c.stride + sx * 3;
            for (int k = 0; k < 3; ++k) d[k] = uint8_t(d[k] + p.Alpha * (s[k] - d[k]) / 32);
        }
}

TEST(Render, WideFramesMatchThePixelByPixelResult) {
    // Rows mixing long transparent, opaque and partial stretches, so every block kind occurs,
    // drawn at positions that clip on each side, over a non-uniform background.
    std::mt19937 rng(7);
    const int w = 45, h = 9;
    std::vector<WasPixel> px;
    for (int i = 0; i < w * h; ++i) {
        const int zone = (i % w) / 9 + int(rng() % 2);
        px.push_back(zone == 0   ? Px(0, 0)
                     : zone == 1 ? Px(32, int(rng() % 256))
                     : zone == 2 ? Px(int(rng() % 33), int(rng() % 256))
                                 : Px(rng() % 3 ? 32 : 0, 200));
    }
    const TWasFile was =
        LoadBytes(SingleFrameFile(Frame::Encode(5, 2, w, h, px), DistinctPalette()));
    for (const auto& [x, y] :
         {std::pair{5, 2}, std::pair{-7, 4}, std::pair{30, 1}, std::pair{12, 9}}) {
        Canvas<3> drawn(40, 10, 0), expected(40, 10, 0);
        for (size_t i = 0; i < drawn.bytes.size(); ++i)
            drawn.bytes[i] = expected.bytes[i] = uint8_t(i * 37);
        was.DrawFrame(drawn.View(), x, y, 0);
        ReferenceDraw(was, expected, x, y, 0);
        EXPECT_EQ(drawn.bytes, expected.bytes) << "at " << x << "," << y;
    }
}

TEST(Render, UsesTheWorkingPalette) {
    TWasFile was = OnePixel(32, 0x001F);
    was.DyeRange(7, 7, DyeMatrix{0, 0, 0, 0, 0, 0, 0, 0, 128});  // blue halved: 31 -> 15
    Canvas<3> s(1, 1, 0);
    was.DrawFrame(s.View(), 0, 0, 0);
    EXPECT_EQ(s.At(0, 0)[0], 15 * 8);
    EXPECT_EQ(was.Frames()[0].Pixels[0], Px(32, 7));
}

}  // namespace
