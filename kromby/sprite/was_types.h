// Plain data of a sprite: header, pixels, palette, colour matrix and drawing surfaces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Every error the viewer's core raises; what() is the UTF-8 text shown to the user.
class KrombyError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The first 16 bytes of a sprite file, in file order.
struct WasHeader {
    uint16_t Magic = 0;
    uint16_t HeaderSize = 0;
    uint16_t Directions = 0;
    uint16_t FramesPerDirection = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    int16_t KeyX = 0;
    int16_t KeyY = 0;
};

inline constexpr uint16_t kWasMagic = 0x5053;  // "SP"
inline constexpr int kWasHeaderBytes = 16;
inline constexpr int kWasPaletteBytes = 512;

// Alpha is 0 (transparent), 1..31 (the file's 5-bit partial alpha) or 32 (opaque).
struct WasPixel {
    uint8_t Alpha = 0;
    uint8_t Index = 0;
    friend bool operator==(const WasPixel&, const WasPixel&) = default;
};
static_assert(sizeof(WasPixel) == 2);

inline constexpr uint8_t kOpaqueAlpha = 32;

// 256 RGB565 entries: red in bits 15-11, green 10-5, blue 4-0. Indexing with a uint8_t is
// always in range.
using WasPalette = std::array<uint16_t, 256>;

struct TWasImage {
    int32_t KeyX = 0;
    int32_t KeyY = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<WasPixel> Pixels;  // row-major, row 0 at the top
};

// Row-major 3 x 3 weights (rows: output red, green, blue; columns: input red, green, blue),
// 256 standing for 1.0.
using DyeMatrix = std::array<uint32_t, 9>;
inline constexpr DyeMatrix kIdentityMatrix{256, 0, 0, 0, 256, 0, 0, 0, 256};

// A view of pixel rows owned elsewhere. Stride may be negative (a bottom-up image) or padded.
template <int BytesPerPixel>
struct Surface {
    int32_t Width = 0;
    int32_t Height = 0;
    std::ptrdiff_t Stride = 0;
    uint8_t* Bits = nullptr;  // row 0
    uint8_t* Row(int32_t y) const { return Bits + y * Stride; }
};
using Surface24 = Surface<3>;  // blue, green, red
using Surface32 = Surface<4>;  // blue, green, red, alpha
