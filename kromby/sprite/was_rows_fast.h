// The vectorised row decoder, written once for every vector width. Each file that includes it
// instantiates it for one instruction set (see was_rows_sse2.cpp, was_rows_avx2.cpp); everything
// here has internal linkage, so the copies compiled for different processors never mix. For the
// same reason it uses no inline function of other headers: the linker could pick this file's
// copy, compiled for a newer processor, for the whole program.
#pragma once

#include <array>
#include <cstring>
#include <utility>

#include "kromby/sprite/was_rows.h"

namespace was_rows {
namespace {

// What each code byte does, so that any code is decoded with one table entry and no branch on
// its class: the pixels it produces, the bytes it consumes with the code byte, and the pixels'
// value. With v = p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24 (p at the code byte), a run's pixel
// is (v & keepLow) | (v >> 8 & keepHigh) | alpha; a literal pixel adds its byte << 8, which
// `shift` 16 drops for the runs.
struct CodeShape {
    uint8_t count, bytes, shift, alpha;
    uint16_t keepLow, keepHigh;
};

constexpr std::array<CodeShape, 256> MakeShapes() {
    std::array<CodeShape, 256> t{};
    t[0] = CodeShape{0, 1, 16, 0, 0, 0};  // the end of the row: its count is the rest of it
    for (int b = 1; b < 256; ++b) {
        const auto n = uint8_t(b & 0x3F);
        switch (b >> 6) {
            case 0:  // one pixel with the code's alpha; b pixels sharing an alpha and an index
                t[size_t(b)] = (b & 0x20) ? CodeShape{1, 2, 16, 0, 0xFF1F, 0}
                                          : CodeShape{uint8_t(b), 3, 16, 0, 0, 0xFF1F};
                break;
            case 1:
                t[size_t(b)] = CodeShape{n, uint8_t(1 + n), 8, kOpaqueAlpha, 0, 0};
                break;
            case 2:
                t[size_t(b)] = CodeShape{n, 2, 16, kOpaqueAlpha, 0xFF00, 0};
                break;
            default:
                t[size_t(b)] = CodeShape{n, 1, 16, 0, 0, 0};
                break;
        }
    }
    return t;
}
alignas(64) constexpr std::array<CodeShape, 256> kShapes = MakeShapes();

// One stream of rows decoded in order. Rows are contiguous in the pixel array, so the stream
// moves to the next row by taking the next row's codes, without a branch on where a row ends.
struct Stream {
    const uint8_t* p;           // the next code
    WasPixel* dst;              // the next pixel
    ptrdiff_t left;             // pixels to the end of the row
    const uint8_t* const* row;  // the codes of the row in progress; row[1] are the next row's
};

// `yes` ? a : b without a branch, which would be mispredicted at most rows' end.
template <class T>
[[gnu::always_inline]] inline T Select(bool yes, T a, T b) {
#if defined(__GNUC__) && defined(__x86_64__)
    asm("test %[yes], %[yes]\n\tcmovnz %[a], %[b]"
        : [b] "+r"(b)
        : [yes] "r"(yes), [a] "rm"(a)
        : "cc");
    return b;
#else
    return yes ? a : b;
#endif
}

// Decodes the code at the stream's position, storing Lanes::kPixels pixels at a time and at least
// Lanes::kMinStore. Stores spill past the code's own pixels, at most kMinStore past its row: each
// row's codes write all of its pixels, so the codes after it (or the next row, decoded later)
// overwrite the spill. Returns false, having done nothing, when the code is too close to the end
// of the data or overruns its row.
template <class Lanes>
[[gnu::always_inline]] inline bool DecodeCode(Stream& s, const uint8_t* fastEnd, size_t width) {
    const uint8_t* const p = s.p;
    if (p > fastEnd) return false;
    const uint8_t b = p[0];
    const CodeShape& shape = kShapes[b];
    WasPixel* const dst = s.dst;
    const ptrdiff_t left = s.left;
    // The end of the row makes the rest transparent.
    const ptrdiff_t n = shape.count + (left & -ptrdiff_t(b == 0));
    if (n > left) return false;
    uint32_t v;
    std::memcpy(&v, p, 4);  // little-endian, as every processor with these vectors is
    const auto fill = Lanes::Fill((v & shape.keepLow) | (v >> 8 & shape.keepHigh) | shape.alpha);
    const auto shift = Lanes::Shift(shape.shift);
    [&]<size_t... k>(std::index_sequence<k...>) {
        (Lanes::Put(dst + k * Lanes::kPixels, p + 1 + k * Lanes::kPixels, fill, shift), ...);
    }
    (std::make_index_sequence<Lanes::kMinStore / Lanes::kPixels>());
    // Only a literal run, shorter than 64, uses the bytes read; a longer fill reads below 64.
    for (ptrdiff_t k = Lanes::kMinStore; k < n; k += Lanes::kPixels)
        Lanes::Put(dst + k, p + 1 + (k & 63), fill, shift);
    const ptrdiff_t rest = left - n;
    const bool done = rest == 0;
    s.dst = dst + n;
    s.p = Select(done, s.row[1], p + shape.bytes);
    s.left = Select(done, ptrdiff_t(width), rest);
    s.row += done;
    return true;
}

// The frame being decoded, as the fast path sees it.
struct FrameView {
    WasPixel* pixels;
    size_t width;
    const uint8_t* const* rows;
    const uint8_t* end;
    const uint8_t* fastEnd;
};

// Finishes the stream's row carefully from where the fast path stopped, and moves to the next.
// The stream is passed by value so that the fast loop keeps it in registers.
[[gnu::noinline]] Stream FinishRow(Stream s, const FrameView& f) {
    const auto r = int32_t(s.row - f.rows);
    WasPixel* const row = f.pixels + size_t(r) * f.width;
    DecodeRowCarefully(row, int32_t(f.width), int32_t(s.dst - row), s.p, f.end, r);
    s.dst = row + f.width;
    s.left = ptrdiff_t(f.width);
    s.row += 1;
    s.p = s.row[0];
    return s;
}

template <class Lanes>
[[gnu::always_inline]] inline void Step(Stream& s, const FrameView& f) {
    if (!DecodeCode<Lanes>(s, f.fastEnd, f.width)) s = FinishRow(s, f);
}

// Decodes the top and the bottom half of a frame as two interleaved streams: each code waits for
// the code before it, so two independent streams keep the processor busy. The last row of each
// half is decoded carefully after its stream, as the rows before spill into it.
template <class Lanes>
void DecodeRowsInPairs(WasPixel* pixels, size_t width, int32_t height, const uint8_t* const* rows,
                       const uint8_t* end) {
    static_assert(Lanes::kMinStore <= kMinVectorWidth, "a spill must end in the next row");
    auto careful = [&](int32_t r) {
        DecodeRowCarefully(pixels + size_t(r) * width, int32_t(width), 0, rows[r], end, r);
    };
    const int32_t half = height / 2;
    const FrameView f{pixels, width, rows, end, end - kInputSlack};
    auto start = [&](int32_t r) {
        WasPixel* const row = pixels + size_t(r) * width;
        return Stream{rows[r], row, ptrdiff_t(width), rows + r};
    };
    Stream top = start(0), bottom = start(half);
    WasPixel* const topEnd = pixels + size_t(half - 1) * width;
    WasPixel* const bottomEnd = pixels + size_t(height - 1) * width;
    while (top.dst < topEnd && bottom.dst < bottomEnd) {
        Step<Lanes>(top, f);
        Step<Lanes>(bottom, f);
    }
    while (top.dst < topEnd) Step<Lanes>(top, f);
    while (bottom.dst < bottomEnd) Step<Lanes>(bottom, f);
    careful(half - 1);
    careful(height - 1);
}

}  // namespace
}  // namespace was_rows
