// Drawing of the main window's view surface, free of widgets so tests and benchmarks use it
// directly.
#pragma once

#include <array>
#include <cstdint>

#include "kromby/sprite/was_file.h"

struct ViewPoint {
    int32_t x, y;
};

inline constexpr int32_t kViewWidth = 640;
inline constexpr int32_t kViewHeight = 480;

// Where each direction's hot spot goes: a 2 x 2 grid right of the preview box, a row below it.
inline constexpr std::array<ViewPoint, 8> DirectionSlots{{
    {320, 96}, {448, 96}, {320, 224}, {448, 224}, {64, 352}, {192, 352}, {320, 352}, {448, 352}}};

struct Bgr {
    uint8_t b, g, r;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

// The checkerboard squares (light pair, then dark pair), widened from their 5-bit channels.
Bgr CheckerColour(bool dark, bool second);

// A one-pixel line from (x0, y0) towards (x1, y1); the end point itself is not drawn. Pixels off
// the surface are skipped.
void DrawLine(const Surface24& surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Bgr colour);

// Everything the view shows: checkerboard, preview box, and with a sprite loaded frame 0 in the
// preview with its hot-spot cross and `frame` of each of the first eight directions in its slot.
// A frame index below 0 (an open that no timer tick has followed yet) draws frame 0.
void RenderView(const Surface24& surface, const TWasFile& sprite, bool dark, int32_t frame);
