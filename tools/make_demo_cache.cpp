// Writes the bundled demo game directory for Dravik: a small image cache (v3d_cache/v3d.hdr,
// v3d.dat) with nested lists, holes in image tables, images with and without their own
// palette and every row code, plus the mypal.wdf package with the palettes it names.
//   make-demo-cache GAME_DIR [CONFIG_INI]
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "kd/file_io.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

constexpr int kSize = 64;

// A gem: ramp indices 1..63 by distance from a highlight, a soft rim of partial alpha, a
// half-transparent shadow below, transparent around it.
CacheImage Gem(int variant, std::optional<Palette565> own = {}) {
    std::vector<CachePixel> px(kSize * kSize);
    const double cx = 32, cy = 28, r = 20.0 + variant * 2;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            CachePixel& p = px[size_t(y * kSize + x)];
            const double dx = x - cx, dy = y - cy;
            const double d = std::abs(dx) + std::abs(dy) * (1.0 + 0.1 * variant);  // a rhombus
            if (d < r - 1) {
                const double lit = std::hypot(dx + 6, dy + 8) / (r * 1.3);
                // Facets: repeat runs on the left half, literal runs on the right.
                const int shade = x < cx ? int(lit * 8) * 8 : int(lit * 62);
                p = {32, uint8_t(1 + std::min(shade, 62))};
            } else if (d < r + 1) {
                p = {uint8_t(12 + int((r + 1 - d) * 9)), 40};
            } else if (std::hypot((x - cx) / 1.8, y - 56.0) < 6) {
                p = {10, 0};
            }
        }
    }
    CacheImage img = CacheImage::Encode(kSize, kSize, px, own);
    img.KeyX = kSize / 2;
    img.KeyY = 56;
    img.Rows[0].insert(img.Rows[0].begin(), {0x40, 0x80, 7, 0xC0});  // the codes that do nothing
    return img;
}

std::vector<PalColour> Ramp(double r, double g, double b) {
    std::vector<PalColour> c(64);
    for (int i = 1; i < 64; ++i) {
        const double t = 1.0 - (i - 1) / 70.0;
        c[size_t(i)] = {uint8_t(255 * b * t), uint8_t(255 * g * t), uint8_t(255 * r * t)};
    }
    c[0] = {20, 20, 20};  // shadow
    return c;
}

Palette565 OwnPalette() {
    Palette565 p{};
    for (int i = 1; i < 64; ++i) {
        const int v = 63 - i / 2;
        p[size_t(i)] = uint16_t((v / 4) << 11 | v << 5 | (v / 2));  // a green-gold ramp
    }
    p[0] = 0x0841;
    return p;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-demo-cache GAME_DIR [CONFIG_INI]\n");
        return 1;
    }
    const fs::path game = argv[1];
    const Palette565 own = OwnPalette();

    CacheEntry shield{EquipInfo(25, 3), 2, 1, {Gem(1), Gem(2)}, {}};
    CacheEntry crown{EquipInfo(9000, 0), 1, 1, {Gem(3)}, {}};
    crown.Children = {{WeaponInfo(7), 1, 1, {Gem(0, own)}, {}}};  // three levels deep
    CacheEntry sword{WeaponInfo(7), 2, 2, {Gem(0), std::nullopt, Gem(1), Gem(2)}, {shield, crown}};
    CacheEntry painted{WeaponInfo(12), 3, 1, {Gem(0, own), Gem(1, own), std::nullopt}, {}};
    WriteCache(game, BuildCache({sword, painted, shield}));

    WriteZipPackage(game / "mypal.wdf", {
                                            {"mypal/weapon/7.pal", BuildPal(Ramp(0.55, 0.75, 1.0))},
                                            {"mypal/equip/25_3.pal", BuildPal(Ramp(1.0, 0.35, 0.3), {}, 12)},
                                            {"mypal/equip/9000.pal", BuildPal(Ramp(1.0, 0.85, 0.25))},
                                        });
    if (argc > 2) {
        const std::string ini = "[wdf]\r\nnum=1\r\nname0=mypal.wdf\r\n";
        kd::WriteWholeFile(argv[2], std::vector<uint8_t>(ini.begin(), ini.end()));
    }
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "make-demo-cache: %s\n", e.what());
    return 1;
}
