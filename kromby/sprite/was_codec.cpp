#include "kromby/sprite/was_codec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "kd/le.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void ReadAt(std::span<const uint8_t> data, uint64_t pos, void* dest, size_t size) {
    if (size == 0 || pos >= data.size()) return;
    std::memcpy(dest, data.data() + pos, std::min<uint64_t>(size, data.size() - pos));
}

namespace {

[[noreturn]] void RowError(int32_t row) {
    throw KrombyError("第" + std::to_string(row) + "行遇到错误数据啦！");
}

// Decodes codes of row `r` from column `c` on: the reference decoder, used for every row where
// SSE2 is missing and for the codes near the end of the data or of the pixel array. Every code
// byte and operand is checked against `end` before it is read, and every run against the room
// left in the row before it is written; each code consumes at least one byte, so the loop ends.
// All pixels of the row are written, transparent ones too, so the array needs no clearing.
void DecodeRowCarefully(WasPixel* row, int32_t width, int32_t c, const uint8_t* p,
                        const uint8_t* end, int32_t r) {
    while (c < width) {
        if (p >= end) RowError(r);
        const uint8_t b = *p++;
        const int32_t n = b & 0x3F;
        switch (b >> 6) {
            case 0:
                if (b == 0) {  // end of row: the rest stays transparent
                    std::fill_n(row + c, width - c, WasPixel{});
                    return;
                }
                if (b & 0x20) {  // one pixel with its own alpha
                    if (end - p < 1) RowError(r);
                    row[c++] = WasPixel{uint8_t(b & 0x1F), p[0]};
                    p += 1;
                } else {  // b pixels sharing an alpha and an index
                    if (end - p < 2 || width - c < b) RowError(r);
                    std::fill_n(row + c, b, WasPixel{uint8_t(p[0] & 0x1F), p[1]});
                    c += b;
                    p += 2;
                }
                break;
            case 1:  // literal run of opaque pixels
                if (end - p < n || width - c < n) RowError(r);
                for (int32_t k = 0; k < n; ++k) row[c + k] = WasPixel{kOpaqueAlpha, p[k]};
                c += n;
                p += n;
                break;
            case 2:  // repeat run of one opaque index; the index byte is there even for n = 0
                if (end - p < 1 || width - c < n) RowError(r);
                std::fill_n(row + c, n, WasPixel{kOpaqueAlpha, p[0]});
                c += n;
                p += 1;
                break;
            default:  // skip: transparent pixels
                if (width - c < n) RowError(r);
                std::fill_n(row + c, n, WasPixel{});
                c += n;
                break;
        }
    }
}

#if defined(__SSE2__)
// What each code byte does, so that the fast path decodes any code with one table entry and no
// branch on its class: the pixels it produces, the bytes it consumes with the code byte, and the
// pixel value as Alpha = alpha | (p[1] & alphaMask), Index = (p[indexAt] & indexMask) | the
// literal byte << shift, where shift 16 drops the literal bytes (p at the code byte).
struct CodeShape {
    uint8_t count, bytes, alpha, alphaMask, indexAt, indexMask, shift, unused;
};

constexpr std::array<CodeShape, 256> MakeShapes() {
    std::array<CodeShape, 256> t{};
    for (int b = 1; b < 256; ++b) {
        const auto n = uint8_t(b & 0x3F);
        switch (b >> 6) {
            case 0:
                t[size_t(b)] = (b & 0x20) ? CodeShape{1, 2, uint8_t(b & 0x1F), 0, 1, 0xFF, 16, 0}
                                          : CodeShape{uint8_t(b), 3, 0, 0x1F, 2, 0xFF, 16, 0};
                break;
            case 1:
                t[size_t(b)] = CodeShape{n, uint8_t(1 + n), kOpaqueAlpha, 0, 0, 0, 8, 0};
                break;
            case 2:
                t[size_t(b)] = CodeShape{n, 2, kOpaqueAlpha, 0, 1, 0xFF, 16, 0};
                break;
            default:
                t[size_t(b)] = CodeShape{n, 1, 0, 0, 0, 0, 16, 0};
                break;
        }
    }
    return t;
}
alignas(64) constexpr std::array<CodeShape, 256> kShapes = MakeShapes();

// Every code stores at least kMinStore pixels and at most 64, never more than kMinStore past the
// row's end; a literal run reads up to 1 + 63 + 7 bytes from its code byte.
constexpr int kMinStore = 24;
constexpr ptrdiff_t kInputSlack = 72, kOutputSlack = kMinStore;

// Decodes a row without branching on each code's class, eight pixels per store. A store may spill
// past the code's own pixels while the array has room: rows are decoded in order and every code
// writes all of its own pixels, so the codes after it (or the next row) overwrite the spill. Near
// the end of the data or of the array the careful decoder takes over.
void DecodeRow(WasPixel* row, int32_t width, const uint8_t* p, const uint8_t* end,
               const WasPixel* limit, int32_t r) {
    if (limit - (row + width) < kOutputSlack || end - p < kInputSlack)
        return DecodeRowCarefully(row, width, 0, p, end, r);
    const uint8_t* const fastEnd = end - kInputSlack;
    const __m128i zero = _mm_setzero_si128();
    WasPixel* dst = row;
    WasPixel* const rowEnd = row + width;
    while (dst < rowEnd) {
        if (p > fastEnd) return DecodeRowCarefully(row, width, int32_t(dst - row), p, end, r);
        const uint8_t b = p[0];
        if (b == 0) {  // end of row: the rest stays transparent
            std::memset(static_cast<void*>(dst), 0, size_t(rowEnd - dst) * sizeof(WasPixel));
            return;
        }
        const CodeShape& shape = kShapes[b];
        const int n = shape.count;
        if (rowEnd - dst < n) RowError(r);
        const int alpha = shape.alpha | (p[1] & shape.alphaMask);
        const int index = p[shape.indexAt] & shape.indexMask;
        const __m128i fill =
            _mm_shuffle_epi32(_mm_shufflelo_epi16(_mm_cvtsi32_si128(alpha | index << 8), 0), 0);
        const __m128i shift = _mm_cvtsi32_si128(shape.shift);
        auto put = [&](int k) {
            const __m128i lit = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 1 + k));
            const __m128i v =
                _mm_or_si128(_mm_sll_epi16(_mm_unpacklo_epi8(lit, zero), shift), fill);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), v);
        };
        put(0);
        put(8);
        put(16);
        for (int k = kMinStore; k < n; k += 8) put(k);
        dst += n;
        p += shape.bytes;
    }
}
#else
void DecodeRow(WasPixel* row, int32_t width, const uint8_t* p, const uint8_t* end, const WasPixel*,
               int32_t r) {
    DecodeRowCarefully(row, width, 0, p, end, r);
}
#endif

}  // namespace

void DecodeFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                 uint64_t& pixelBudget, int32_t frameIndex) {
    uint8_t head[16] = {};
    ReadAt(data, pos, head, sizeof head);
    image.KeyX = kd::LoadS32(head + 0);
    image.KeyY = kd::LoadS32(head + 4);
    image.Width = kd::LoadS32(head + 8);
    image.Height = kd::LoadS32(head + 12);
    const int64_t w = image.Width, h = image.Height;
    auto fail = [&](const char* what) {
        throw KrombyError("第" + std::to_string(frameIndex) + what + std::to_string(w) + " × " +
                          std::to_string(h));
    };
    if (h < 0 || (w < 0 && h > 0)) fail("帧的尺寸无效：");
    const uint64_t pixels = h == 0 ? 0 : uint64_t(w) * uint64_t(h);
    if (pixels > pixelBudget) fail("帧太大，无法加载：");
    pixelBudget -= pixels;

    // Reuses the array's memory; decoding overwrites every pixel.
    image.Pixels.resize(size_t(pixels));
    if (pixels == 0) return;  // no row reads a code: the row table need not even be there

    // Row offsets are read in place; one missing at the end of the data reads as 0.
    const uint8_t* end = data.data() + data.size();
    const WasPixel* limit = image.Pixels.data() + image.Pixels.size();
    for (int32_t r = 0; r < h; ++r) {
        const uint64_t fieldAt = pos + 16 + 4 * uint64_t(r);
        uint8_t field[4] = {};
        if (fieldAt + 4 <= data.size())
            std::memcpy(field, data.data() + fieldAt, 4);
        else
            ReadAt(data, fieldAt, field, 4);
        const uint64_t at = pos + kd::LoadU32(field);
        const uint8_t* codes = at < data.size() ? data.data() + at : end;
        DecodeRow(image.Pixels.data() + size_t(r) * size_t(w), image.Width, codes, end, limit, r);
    }
}
