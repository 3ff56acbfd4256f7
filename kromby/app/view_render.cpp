#include "kromby/app/view_render.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint8_t Widen5(int v) { return uint8_t(v << 3 | v >> 2); }

Bgr From5(int r, int g, int b) { return Bgr{Widen5(b), Widen5(g), Widen5(r)}; }

void Put(const Surface24& s, int32_t x, int32_t y, Bgr c) {
    if (x < 0 || y < 0 || x >= s.Width || y >= s.Height) return;
    uint8_t* p = s.Row(y) + 3 * x;
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

constexpr Bgr kBlue{255, 0, 0}, kGreen{0, 255, 0}, kRed{0, 0, 255};

}  // namespace

Bgr CheckerColour(bool dark, bool second) {
    if (!dark) return second ? From5(30, 30, 30) : From5(24, 24, 30);
    return second ? From5(4, 6, 8) : From5(2, 2, 8);
}

void DrawLine(const Surface24& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Bgr c) {
    // Bresenham over the longer axis, stopping one step short of the end point.
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const int32_t steps = std::max(dx, dy);
    int32_t x = x0, y = y0;
    int32_t err = (dx > dy ? dx : -dy) / 2;
    for (int32_t i = 0; i < steps; ++i) {
        Put(s, x, y, c);
        const int32_t e = err;
        if (e > -dx) err -= dy, x += sx;
        if (e < dy) err += dx, y += sy;
    }
}

void RenderView(const Surface24& s, const TWasFile& sprite, bool dark, int32_t frame) {
    // A 32 x 32 tile of four 16 x 16 squares, the first colour at top left and bottom right:
    // every row is one of two patterns, built once and copied.
    const Bgr a = CheckerColour(dark, false), b = CheckerColour(dark, true);
    std::vector<uint8_t> upper(size_t(s.Width) * 3), lower(upper.size());
    for (int32_t x = 0; x < s.Width; ++x) {
        const bool second = (x & 16) != 0;
        const Bgr& u = second ? b : a;
        const Bgr& l = second ? a : b;
        uint8_t* pu = upper.data() + 3 * x;
        uint8_t* pl = lower.data() + 3 * x;
        pu[0] = u.b, pu[1] = u.g, pu[2] = u.r;
        pl[0] = l.b, pl[1] = l.g, pl[2] = l.r;
    }
    for (int32_t y = 0; y < s.Height; ++y)
        std::memcpy(s.Row(y), ((y & 16) != 0 ? lower : upper).data(), upper.size());
    DrawLine(s, 0, 0, 255, 0, kBlue);
    DrawLine(s, 255, 0, 255, 255, kBlue);
    DrawLine(s, 255, 255, 0, 255, kBlue);
    DrawLine(s, 0, 255, 0, 0, kBlue);

    if (!sprite.Loaded()) return;
    const int32_t frames = sprite.FrameCount();
    const int32_t hx = 128 - sprite.FrameWidth(0) / 2 + sprite.FrameKeyX(0);
    const int32_t hy = 128 - sprite.FrameHeight(0) / 2 + sprite.FrameKeyY(0);
    sprite.DrawFrame(s, hx, hy, 0);
    DrawLine(s, hx - 5, hy, hx + 5, hy, kGreen);
    DrawLine(s, hx, hy - 5, hx, hy + 5, kGreen);

    const int32_t current = std::max(frame, 0);
    const int32_t shown = std::min(sprite.DirectionCount(), int32_t(DirectionSlots.size()));
    for (int32_t d = 0; d < shown; ++d) {
        const auto [x, y] = DirectionSlots[size_t(d)];
        DrawLine(s, x - 32, y - 16, x + 32, y + 16, kRed);
        DrawLine(s, x + 32, y - 16, x - 32, y + 16, kRed);
        sprite.DrawFrame(s, x, y, d * frames + current);
    }
}
