#include "kromby/sprite/was_codec.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "kd/le.h"

void ReadAt(std::span<const uint8_t> data, uint64_t pos, void* dest, size_t size) {
    if (size == 0 || pos >= data.size()) return;
    std::memcpy(dest, data.data() + pos, std::min<uint64_t>(size, data.size() - pos));
}

namespace {

[[noreturn]] void RowError(int32_t row) {
    throw KrombyError("第" + std::to_string(row) + "行遇到错误数据啦！");
}

// Decodes one row's codes into `row` (`width` pixels, all zero on entry). Every code byte and
// operand is checked against `end` before it is read, and every run against the room left in
// the row before it is written; each code consumes at least one byte, so the loop ends.
void DecodeRow(WasPixel* row, int32_t width, const uint8_t* p, const uint8_t* end, int32_t r) {
    int32_t c = 0;
    while (c < width) {
        if (p >= end) RowError(r);
        const uint8_t b = *p++;
        const int32_t n = b & 0x3F;
        switch (b >> 6) {
            case 0:
                if (b == 0) return;  // end of row: the rest stays transparent
                if (b & 0x20) {      // one pixel with its own alpha
                    if (end - p < 1 || width - c < 1) RowError(r);
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
                c += n;
                break;
        }
    }
}

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

    image.Pixels.assign(size_t(pixels), WasPixel{});
    if (pixels == 0) return;  // no row reads a code: the row table need not even be there

    // Row offsets are read in place; one missing at the end of the data reads as 0.
    const uint8_t* end = data.data() + data.size();
    for (int32_t r = 0; r < h; ++r) {
        uint8_t field[4] = {};
        ReadAt(data, pos + 16 + 4 * uint64_t(r), field, 4);
        const uint64_t at = pos + kd::LoadU32(field);
        const uint8_t* codes = at < data.size() ? data.data() + at : end;
        DecodeRow(image.Pixels.data() + size_t(r) * size_t(w), image.Width, codes, end, r);
    }
}
