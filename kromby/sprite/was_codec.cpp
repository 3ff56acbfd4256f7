#include "kromby/sprite/was_codec.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "kd/le.h"
#include "kromby/sprite/was_rows.h"

using was_rows::DecodeRowCarefully;

void ReadAt(std::span<const uint8_t> data, uint64_t pos, void* dest, size_t size) {
    if (size == 0 || pos >= data.size()) return;
    std::memcpy(dest, data.data() + pos, std::min<uint64_t>(size, data.size() - pos));
}

[[noreturn]] void was_rows::RowError(int32_t row) {
    throw KrombyError("第" + std::to_string(row) + "行遇到错误数据啦！");
}

// The reference decoder, used where no vector decoder fits: for every row on processors without
// one, for narrow frames, and for the codes near the end of the data or of the pixel array. Every
// code byte and operand is checked against `end` before it is read, and every run against the
// room left in the row before it is written; each code consumes at least one byte, so the loop
// ends. All pixels of the row are written, transparent ones too, so the array needs no clearing.
void was_rows::DecodeRowCarefully(WasPixel* row, int32_t width, int32_t c, const uint8_t* p,
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

bool RowDecoderAvailable(RowDecoder decoder) {
    switch (decoder) {
        case RowDecoder::kSse2:
#if defined(__SSE2__)
            return true;
#else
            return false;
#endif
        case RowDecoder::kAvx2:
#if defined(KD_AVX2_ROWS)
            return __builtin_cpu_supports("avx2");
#else
            return false;
#endif
        default:
            return true;
    }
}

namespace {

RowDecoder BestRowDecoder() {
    static const RowDecoder best = RowDecoderAvailable(RowDecoder::kAvx2)   ? RowDecoder::kAvx2
                                   : RowDecoderAvailable(RowDecoder::kSse2) ? RowDecoder::kSse2
                                                                            : RowDecoder::kCareful;
    return best;
}

}  // namespace

void PrepareFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
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
}

void DecodeFrameRows(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                     std::vector<const uint8_t*>& rowCodes, RowDecoder decoder) {
    // A frame without pixels reads no code: its row table need not even be there.
    if (image.Pixels.empty()) return;
    const int64_t w = image.Width, h = image.Height;

    // Row offsets are read in place; one missing at the end of the data reads as 0.
    const uint8_t* const end = data.data() + data.size();
    auto codesOf = [&](int32_t r) {
        const uint64_t fieldAt = pos + 16 + 4 * uint64_t(r);
        uint8_t field[4] = {};
        if (fieldAt + 4 <= data.size())
            std::memcpy(field, data.data() + fieldAt, 4);
        else
            ReadAt(data, fieldAt, field, 4);
        return data.data() + std::min<uint64_t>(pos + kd::LoadU32(field), data.size());
    };
    WasPixel* const out = image.Pixels.data();
    auto decodeInOrder = [&] {
        for (int32_t r = 0; r < h; ++r)
            DecodeRowCarefully(out + size_t(r) * size_t(w), image.Width, 0, codesOf(r), end, r);
    };
    const RowDecoder chosen = decoder == RowDecoder::kBest ? BestRowDecoder() : decoder;
    if (chosen == RowDecoder::kCareful || !RowDecoderAvailable(chosen) ||
        w < was_rows::kMinVectorWidth || h < 2 || data.size() < size_t(was_rows::kInputSlack))
        return decodeInOrder();

    rowCodes.resize(size_t(h) + 1);
    for (int32_t r = 0; r < h; ++r) rowCodes[size_t(r)] = codesOf(r);
    rowCodes[size_t(h)] = end;
    try {
#if defined(KD_AVX2_ROWS)
        if (chosen == RowDecoder::kAvx2)
            return was_rows::DecodeRowsAvx2(out, size_t(w), image.Height, rowCodes.data(), end);
#endif
#if defined(__SSE2__)
        return was_rows::DecodeRowsSse2(out, size_t(w), image.Height, rowCodes.data(), end);
#endif
    } catch (const KrombyError&) {
        // the vector decoders may meet a later bad row first
    }
    decodeInOrder();
}

void DecodeFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                 uint64_t& pixelBudget, int32_t frameIndex, std::vector<const uint8_t*>& rowCodes,
                 RowDecoder decoder) {
    PrepareFrame(image, data, pos, pixelBudget, frameIndex);
    DecodeFrameRows(image, data, pos, rowCodes, decoder);
}
