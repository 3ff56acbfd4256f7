// The run-length code of frame rows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "kromby/sprite/was_types.h"

// The row decoders: all give the same pixels and errors; kBest is the fastest this processor has.
enum class RowDecoder { kBest, kCareful, kSse2, kAvx2 };
bool RowDecoderAvailable(RowDecoder decoder);

// Decodes the frame block at `pos` of `data` into `image`. Reads beyond the data deliver
// nothing (the fields stay zero); a row whose codes overrun the row or the data raises the row
// error of the first such row. `pixelBudget` is how many pixels the frame may still allocate; it
// is reduced by the frame's size. `rowCodes` is scratch memory, reused from frame to frame.
void DecodeFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                 uint64_t& pixelBudget, int32_t frameIndex, std::vector<const uint8_t*>& rowCodes,
                 RowDecoder decoder = RowDecoder::kBest);
// The two halves of DecodeFrame: the header, the size checks and the pixel array; then the rows.
void PrepareFrame(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                  uint64_t& pixelBudget, int32_t frameIndex);
void DecodeFrameRows(TWasImage& image, std::span<const uint8_t> data, uint64_t pos,
                     std::vector<const uint8_t*>& rowCodes, RowDecoder decoder = RowDecoder::kBest);

// Copies up to `size` bytes at `pos`; bytes past the end of `data` are left as they were.
void ReadAt(std::span<const uint8_t> data, uint64_t pos, void* dest, size_t size);
