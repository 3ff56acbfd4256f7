// The run-length code of frame rows.
#pragma once

#include <cstdint>
#include <span>

#include "kromby/sprite/was_types.h"

// Decodes the frame block at `pos` of `data` into `image`. Reads beyond the data deliver
// nothing (the fields stay zero); a row whose codes overrun the row or the data raises the row
// error. `pixelBudget` is how many pixels the frame may still allocate; it is reduced by the
// frame's size.
void DecodeFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                 uint64_t& pixelBudget, int32_t frameIndex);

// Copies up to `size` bytes at `pos`; bytes past the end of `data` are left as they were.
void ReadAt(std::span<const uint8_t> data, uint64_t pos, void* dest, size_t size);
