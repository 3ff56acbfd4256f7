// Draws the bundled demo sprite: a small knight walking in eight directions, with a soft
// shadow, an anti-aliased glow and a cape whose colours sit in their own palette ranges, so
// that dyeing one range visibly recolours one part.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "kd/file_io.h"
#include "tests/support/was_builder.h"

namespace {

constexpr int kSize = 100;
constexpr int kDirections = 8;
constexpr int kFrames = 8;

// Palette ranges: 1..47 skin, 48..111 armour (steel), 112..175 cape (red), 176..239 plume
// (gold), 240..255 shadow and glow.
constexpr int kSkin = 1, kArmour = 48, kCape = 112, kPlume = 176, kShadow = 240;

uint16_t Rgb(double r, double g, double b) {
    auto q = [](double v, int bits) {
        const int top = (1 << bits) - 1;
        return std::lround(std::clamp(v, 0.0, 1.0) * top);
    };
    return uint16_t(q(r, 5) << 11 | q(g, 6) << 5 | q(b, 5));
}

WasPalette MakePalette() {
    WasPalette p{};
    auto ramp = [&](int first, int count, double r, double g, double b) {
        for (int i = 0; i < count; ++i) {
            const double t = 0.25 + 0.75 * i / (count - 1);
            p[size_t(first + i)] = Rgb(r * t, g * t, b * t);
        }
    };
    ramp(kSkin, 47, 1.0, 0.78, 0.62);
    ramp(kArmour, 64, 0.75, 0.80, 0.88);
    ramp(kCape, 64, 0.90, 0.15, 0.12);
    ramp(kPlume, 64, 1.00, 0.82, 0.20);
    ramp(kShadow, 16, 0.10, 0.10, 0.15);
    return p;
}

struct Canvas {
    std::vector<WasPixel> px = std::vector<WasPixel>(kSize * kSize);
    void Put(int x, int y, WasPixel p) {
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) px[size_t(y * kSize + x)] = p;
    }
    WasPixel At(int x, int y) const { return px[size_t(y * kSize + x)]; }
};

// A shaded ellipse of one palette range; `light` tilts the shading toward the light.
void Ellipse(Canvas& c, double cx, double cy, double rx, double ry, int first, int count,
             double light) {
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            const double u = (x - cx) / rx, v = (y - cy) / ry, d = u * u + v * v;
            if (d > 1.0) continue;
            const double shade = std::clamp(1.0 - 0.6 * d - 0.3 * (u * light + v), 0.0, 1.0);
            c.Put(x, y, WasPixel{kOpaqueAlpha, uint8_t(first + int(shade * (count - 1)))});
        }
}

Canvas DrawFrame(int dir, int frame) {
    Canvas c;
    const double angle = dir * M_PI / 4;
    const double sx = std::sin(angle), sy = std::cos(angle);
    const double step = std::sin(frame * 2 * M_PI / kFrames);
    const double bob = std::fabs(step) * 2;

    // Soft shadow: uniform partial alpha in long runs (alpha runs).
    for (int y = 82; y <= 90; ++y)
        for (int x = 28; x <= 72; ++x) {
            const double u = (x - 50) / 22.0, v = (y - 86) / 4.5;
            if (u * u + v * v <= 1.0) c.Put(x, y, WasPixel{12, uint8_t(kShadow + 2)});
        }
    // Legs, body, cape, head, plume.
    Ellipse(c, 50 - 6 + 4 * step * sy, 76, 4, 9, kArmour, 64, sx);
    Ellipse(c, 50 + 6 - 4 * step * sy, 76, 4, 9, kArmour, 64, sx);
    Ellipse(c, 50 - 8 * sx, 54 - bob, 13, 17, kCape, 64, -sx);
    Ellipse(c, 50, 56 - bob, 14, 16, kArmour, 64, sx);
    Ellipse(c, 50 + 5 * sx, 34 - bob, 9, 9, kSkin, 47, sx);
    Ellipse(c, 50 - 3 * sx, 22 - bob, 4 + 2 * std::fabs(sy), 6, kPlume, 64, sx);
    // A sword in the leading hand: a flat repeat run of one steel index.
    const int hx = int(50 + 16 * sx), hy = int(58 - bob);
    for (int k = 0; k < 26; ++k)
        c.Put(hx + int(k * sx * 0.3), hy - k, WasPixel{kOpaqueAlpha, kArmour + 60});

    // Glow: a one-pixel anti-aliased rim around the figure, varying partial alpha (single alpha
    // pixels), and transparent pixels that keep an index (alpha 0, index set).
    Canvas out = c;
    for (int y = 1; y < kSize - 1; ++y)
        for (int x = 1; x < kSize - 1; ++x) {
            if (c.At(x, y).Alpha != 0) continue;
            int n = 0;
            for (int k = 0; k < 4; ++k)
                n += c.At(x + (k == 0) - (k == 1), y + (k == 2) - (k == 3)).Alpha == kOpaqueAlpha;
            if (n > 0)
                out.Put(x, y,
                        WasPixel{uint8_t(n == 1 ? ((x + y + frame) % 3) * 4 : 8 * n - 2),
                                 uint8_t(kShadow + 12)});
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-sprite OUT.was\n");
        return 2;
    }
    try {
        fixture::Sprite s;
        s.Header.Directions = kDirections;
        s.Header.FramesPerDirection = kFrames;
        s.Header.Width = kSize;
        s.Header.Height = kSize;
        s.Header.KeyX = kSize / 2;
        s.Header.KeyY = 86;
        s.Palette = MakePalette();
        for (int d = 0; d < kDirections; ++d)
            for (int f = 0; f < kFrames; ++f)
                s.Frames.push_back(
                    fixture::Frame::Encode(kSize / 2, 86, kSize, kSize, DrawFrame(d, f).px));
        const std::filesystem::path out = kd::PathFromUtf8(argv[1]);
        std::filesystem::create_directories(out.parent_path());
        kd::WriteWholeFile(out, s.Build());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo-sprite: %s\n", e.what());
        return 1;
    }
    return 0;
}
