// Row decoding inside the sprite library: the careful decoder and the vectorised ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kromby/sprite/was_types.h"

namespace was_rows {

[[noreturn]] void RowError(int32_t row);

// Decodes the codes of row `r` from column `c` on, checking every byte against `end`.
void DecodeRowCarefully(WasPixel* row, int32_t width, int32_t c, const uint8_t* p,
                        const uint8_t* end, int32_t r);

// Frames narrower than this, or of one row, are decoded carefully throughout.
inline constexpr int kMinVectorWidth = 32;
// The data the vector decoders may read from a code byte on: the first stores read literal bytes
// up to 64 bytes on, and a longer run's further stores read at offsets below 64 (bytes unused).
// Codes closer to the end of the data are decoded carefully.
inline constexpr ptrdiff_t kInputSlack = 80;

// Decode all rows of a frame at least kMinVectorWidth wide and two rows high: `rows[r]` are
// the codes of row r for r < `height`, and rows[height] is `end`. They throw some bad row's
// error, not necessarily the first one's.
void DecodeRowsSse2(WasPixel* pixels, size_t width, int32_t height, const uint8_t* const* rows,
                    const uint8_t* end);
void DecodeRowsAvx2(WasPixel* pixels, size_t width, int32_t height, const uint8_t* const* rows,
                    const uint8_t* end);

}  // namespace was_rows
