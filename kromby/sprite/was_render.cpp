#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// One pixel blended over a 3-byte destination: signed, truncating toward zero, so the result
// stays between d and s.
inline void Blend(uint8_t* d, uint32_t bgr, int a) {
    if (a == kOpaqueAlpha) {
        d[0] = uint8_t(bgr), d[1] = uint8_t(bgr >> 8), d[2] = uint8_t(bgr >> 16);
        return;
    }
    const int b = int(bgr & 0xFF), g = int(bgr >> 8 & 0xFF), r = int(bgr >> 16);
    d[0] = uint8_t(d[0] + a * (b - d[0]) / 32);
    d[1] = uint8_t(d[1] + a * (g - d[1]) / 32);
    d[2] = uint8_t(d[2] + a * (r - d[2]) / 32);
}

#if defined(__SSE2__)
// Which of eight pixels are opaque and which transparent: one bit per pixel.
struct Alphas {
    unsigned opaque, clear;
};
inline Alphas Classify(const WasPixel* px) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(px));
    const __m128i alpha = _mm_and_si128(v, _mm_set1_epi16(0x00FF));
    auto bits = [](__m128i eq) {  // 16-bit lanes packed to bytes, one mask bit each
        return unsigned(_mm_movemask_epi8(_mm_packs_epi16(eq, _mm_setzero_si128())));
    };
    return {bits(_mm_cmpeq_epi16(alpha, _mm_set1_epi16(kOpaqueAlpha))),
            bits(_mm_cmpeq_epi16(alpha, _mm_setzero_si128()))};
}

// Blends eight pixels at once with the per-pixel formula in 16-bit lanes. Alpha 0 gives back d
// and alpha 32 gives s exactly, so one formula serves every pixel of a mixed block.
inline void BlendBlock(uint8_t* d, const WasPixel* src, const uint32_t* bgr) {
    alignas(16) uint8_t s[32], a[32];
    for (int k = 0; k < 8; ++k) {  // overlapping four-byte stores; the buffers have room
        std::memcpy(s + 3 * k, &bgr[src[k].Index], 4);
        const uint32_t alpha = src[k].Alpha * 0x010101u;
        std::memcpy(a + 3 * k, &alpha, 4);
    }
    const __m128i zero = _mm_setzero_si128();
    auto blend = [&](__m128i d16, __m128i s16, __m128i a16) {
        __m128i t = _mm_mullo_epi16(a16, _mm_sub_epi16(s16, d16));
        t = _mm_add_epi16(t, _mm_and_si128(_mm_srai_epi16(t, 15), _mm_set1_epi16(31)));
        return _mm_add_epi16(d16, _mm_srai_epi16(t, 5));  // divided by 32 toward zero
    };
    const __m128i d0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i d1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + 16));
    const __m128i s0 = _mm_load_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i s1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i a0 = _mm_load_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i a1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + 16));
    const __m128i lo = blend(_mm_unpacklo_epi8(d0, zero), _mm_unpacklo_epi8(s0, zero),
                             _mm_unpacklo_epi8(a0, zero));
    const __m128i hi = blend(_mm_unpackhi_epi8(d0, zero), _mm_unpackhi_epi8(s0, zero),
                             _mm_unpackhi_epi8(a0, zero));
    const __m128i tail = blend(_mm_unpacklo_epi8(d1, zero), _mm_unpacklo_epi8(s1, zero),
                               _mm_unpacklo_epi8(a1, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm_packus_epi16(tail, zero));
}
#endif

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

    // Widened without filling the low bits: at most 248 / 252 / 248. Blue in the low byte.
    uint32_t bgr[256];
    for (int i = 0; i < 256; ++i) {
        const Rgb565 e(workingPalette_[i]);
        bgr[i] = e.b * 8 | (e.g * 4) << 8 | (e.r * 8) << 16;
    }
    for (int64_t r = clip.sy; r < clip.ey; ++r) {
        const WasPixel* src = f.Pixels.data() + r * f.Width;
        uint8_t* d = surface.Row(int32_t(clip.dy + r - clip.sy)) + 3 * clip.dx;
        int64_t c = clip.sx;
#if defined(__SSE2__)
        // Sprites are mostly wide transparent margins and opaque interiors: whole blocks of
        // eight are skipped or copied without looking at each alpha.
        for (; c + 8 <= clip.ex; c += 8, d += 24) {
            const Alphas kind = Classify(src + c);
            if (kind.clear == 0xFF) continue;
            if (kind.opaque == 0xFF) {
                // Four-byte stores, each overlapping the next pixel's first byte, which the
                // next store rewrites; the last pixel gets exactly three bytes.
#pragma GCC unroll 7
                for (int k = 0; k < 7; ++k) std::memcpy(d + 3 * k, &bgr[src[c + k].Index], 4);
                std::memcpy(d + 21, &bgr[src[c + 7].Index], 3);
                continue;
            }
            BlendBlock(d, src + c, bgr);
        }
#endif
        for (; c < clip.ex; ++c, d += 3) {
            const int a = src[c].Alpha;
            if (a != 0) Blend(d, bgr[src[c].Index], a);
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
        const uint32_t b = (e.b * 8) | (e.b & 7), g = (e.g * 4) | (e.g & 3),
                       r = (e.r * 8) | (e.r & 7);
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
            d[0] = uint8_t(v), d[1] = uint8_t(v >> 8), d[2] = uint8_t(v >> 16),
            d[3] = uint8_t(v >> 24);
        }
    }
}
