// Builds sprite files in memory: a row encoder that uses every code class, and a file builder
// that lays out header, palette, offset table and frame blocks.
#pragma once

#include "tests/support/bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "kromby/sprite/was_types.h"

namespace fixture {

// Shortest reasonable codes for one row: skips for transparent pixels (an end-of-row code for a
// transparent tail), repeat and literal runs for opaque ones, alpha runs and single alpha
// pixels for the rest (including transparent pixels that carry an index).
Bytes EncodeRow(std::span<const WasPixel> row);

struct Frame {
    int32_t KeyX = 0, KeyY = 0, Width = 0, Height = 0;
    std::vector<Bytes> Rows;  // the codes of each row, exactly as stored

    // A frame whose rows are encoded from `pixels` (Width x Height, row-major).
    static Frame Encode(int32_t keyX, int32_t keyY, int32_t width, int32_t height,
                        std::span<const WasPixel> pixels);
};

struct Sprite {
    WasHeader Header{kWasMagic, 12, 1, 1, 0, 0, 0, 0};
    bool AutoHeaderSize = true;  // HeaderSize := 12 + Extra.size()
    Bytes Extra;
    WasPalette Palette{};
    std::vector<std::optional<Frame>> Frames;  // nullopt: offset 0 (absent frame)
    Bytes Trailing;                            // after the last frame block

    // Header.Directions x FramesPerDirection is not forced to match Frames.size(), so that
    // tables shorter or longer than the header says can be built.
    Bytes Build() const;
};

// A frame with one row per entry of `rows`, Width given explicitly.
Frame RawFrame(int32_t width, std::vector<Bytes> rows, int32_t keyX = 0, int32_t keyY = 0);

// One direction, one frame.
Bytes SingleFrameFile(const Frame& frame, const WasPalette& palette = {});

}  // namespace fixture
