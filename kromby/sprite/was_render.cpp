#include <cstring>
#include <string>

#include "kromby/sprite/was_file.h"

namespace {

// The part of a frame that lands on the surface: frame columns [sx, ex) and rows [sy, ey) go to
// surface position (dx, dy) onwards. 64-bit, so no hot spot or size can overflow.
struct Clip {
    int64_t dx, dy, sx, sy, ex, ey;
    bool Empty() const { return sx >= ex || sy >= ey; }
};

Clip ClipFrame(int32_t surfaceWidth, int32_t surfaceHeight, int32_t x, int32_t y,
               const TWasImage& f) {
    const int64_t W = surfaceWidth, H = surfaceHeight;
    Clip c{int64_t(x) - f.KeyX, int64_t(y) - f.KeyY, 0, 0, f.Width, f.Height};
    if (W < c.dx || H < c.dy) return Clip{0, 0, 0, 0, 0, 0};
    if (W < c.dx + c.ex) c.ex = W - c.dx;
    if (H < c.dy + c.ey) c.ey = H - c.dy;
    if (c.dx < 0) c.sx = -c.dx, c.dx = 0;
    if (c.dy < 0) c.sy = -c.dy, c.dy = 0;
    return c;
}

struct Rgb565 {
    uint32_t r, g, b;
    explicit Rgb565(uint16_t e) : r((e >> 11) & 0x1F), g((e >> 5) & 0x3F), b(e & 0x1F) {}
};

}  // namespace

const TWasImage& TWasFile::DrawableFrame(int32_t index) const {
    if (!loaded_) throw KrombyError("没加载图片，画什么啊！");
    if (index < 0 || int64_t(index) >= int64_t(DirectionCount()) * FrameCount())
        throw KrombyError("没有第" + std::to_string(index) + "张图片，没法画！");
    return frames_[size_t(index)];
}

void TWasFile::DrawFrame(const Surface24& surface, int32_t x, int32_t y, int32_t index) const {
    const TWasImage& f = DrawableFrame(index);
    const Clip clip = ClipFrame(surface.Width, surface.Height, x, y, f);
    if (clip.Empty()) return;

    // Widened without filling the low bits: at most 248 / 252 / 248.
    uint8_t bgr[256][3];
    for (int i = 0; i < 256; ++i) {
        const Rgb565 e(workingPalette_[i]);
        bgr[i][0] = uint8_t(e.b * 8);
        bgr[i][1] = uint8_t(e.g * 4);
        bgr[i][2] = uint8_t(e.r * 8);
    }
    for (int64_t r = clip.sy; r < clip.ey; ++r) {
        const WasPixel* src = f.Pixels.data() + r * f.Width;
        uint8_t* d = surface.Row(int32_t(clip.dy + r - clip.sy)) + 3 * clip.dx;
        for (int64_t c = clip.sx; c < clip.ex; ++c, d += 3) {
            const int a = src[c].Alpha;
            if (a == 0) continue;
            const uint8_t* s = bgr[src[c].Index];
            if (a == kOpaqueAlpha) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
            } else {
                // Signed, truncating toward zero: the result stays between d and s.
                for (int k = 0; k < 3; ++k) d[k] = uint8_t(d[k] + a * (s[k] - d[k]) / 32);
            }
        }
    }
}

void TWasFile::DrawFrame32(const Surface32& surface, int32_t x, int32_t y, int32_t index) const {
    const TWasImage& f = DrawableFrame(index);
    const Clip clip = ClipFrame(surface.Width, surface.Height, x, y, f);
    if (clip.Empty()) return;

    // Widened with the channel's own low bits in the low bits, opaque alpha.
    uint32_t bgra[256];
    for (int i = 0; i < 256; ++i) {
        const Rgb565 e(workingPalette_[i]);
        const uint32_t b = (e.b * 8) | (e.b & 7), g = (e.g * 4) | (e.g & 3), r = (e.r * 8) | (e.r & 7);
        bgra[i] = b | g << 8 | r << 16 | 0xFF000000u;
    }
    for (int64_t r = clip.sy; r < clip.ey; ++r) {
        const WasPixel* src = f.Pixels.data() + r * f.Width;
        uint8_t* d = surface.Row(int32_t(clip.dy + r - clip.sy)) + 4 * clip.dx;
        for (int64_t c = clip.sx; c < clip.ex; ++c, d += 4) {
            const uint32_t a = src[c].Alpha;
            uint32_t v = 0;
            if (a == kOpaqueAlpha)
                v = bgra[src[c].Index];
            else if (a != 0)
                v = (bgra[src[c].Index] & 0x00FFFFFFu) | (a * 8) << 24;
            // Stored byte by byte in blue, green, red, alpha order whatever the host order.
            d[0] = uint8_t(v), d[1] = uint8_t(v >> 8), d[2] = uint8_t(v >> 16), d[3] = uint8_t(v >> 24);
        }
    }
}
