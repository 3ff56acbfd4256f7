// Writes seed inputs for the kromby fuzz targets from the test builders.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kd/file_io.h"
#include "kd/le.h"
#include "kromby/scheme/pal_library.h"
#include "tests/support/was_builder.h"

namespace fs = std::filesystem;
using fixture::Bytes;
using fixture::Frame;
using fixture::Sprite;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    fs::create_directories(root / "kromby_was");
    fs::create_directories(root / "kromby_scheme");
    fs::create_directories(root / "kromby_rows");
    auto put = [&](const char* target, const std::string& name, const Bytes& b) {
        kd::WriteWholeFile(root / target / name, b);
    };

    // Every code class, partial and transparent-with-index pixels, two directions.
    std::vector<WasPixel> px;
    for (int i = 0; i < 12 * 6; ++i) {
        const int x = i % 12, y = i / 12;
        const uint8_t a = x < 2 ? 0 : x < 6 ? 32 : x < 8 ? uint8_t(8 + y) : x == 8 ? 0 : 32;
        px.push_back(WasPixel{a, uint8_t(x == 8 ? 5 : x < 4 ? 9 : x + y)});
    }
    Sprite s;
    s.Header.Directions = 2;
    s.Header.FramesPerDirection = 2;
    s.Header.Width = 16;
    s.Header.Height = 10;
    s.Header.KeyX = 6;
    s.Header.KeyY = 5;
    for (int i = 0; i < 256; ++i) s.Palette[size_t(i)] = uint16_t(i * 331);
    s.Frames = {Frame::Encode(3, 2, 12, 6, px), std::nullopt, Frame::Encode(0, 0, 12, 6, px),
                Frame::Encode(-4, 9, 12, 6, px)};
    put("kromby_was", "two-directions", s.Build());

    Sprite single = s;
    single.Header.Directions = single.Header.FramesPerDirection = 1;
    single.Extra = {1, 2, 3, 4};
    single.Frames = {Frame::Encode(1, 1, 12, 6, px)};
    single.Trailing = {0xAA, 0xBB};
    put("kromby_was", "single-frame-extra-header", single.Build());
    put("kromby_was", "smallest", Sprite{}.Build());

    // Frame blocks wide enough for the vector row decoders: runs of every kind, rows that end
    // early or empty, and data that ends in the last row.
    auto block = [](const Frame& f, size_t trailing) {
        Sprite one;
        one.Frames = {f};
        one.Trailing.assign(trailing, 0);
        const Bytes file = one.Build();
        const size_t at = 16 + kd::LoadU32(&file[kWasHeaderBytes + kWasPaletteBytes]);
        return Bytes(file.begin() + ptrdiff_t(at), file.end());
    };
    std::vector<WasPixel> wide;
    for (int i = 0; i < 40 * 7; ++i) {
        const int x = i % 40, y = i / 40;
        const int kind = (x / 5 + y) % 6;
        wide.push_back(kind == 0   ? WasPixel{}
                       : kind == 1 ? WasPixel{32, uint8_t(x * 7 + y)}
                       : kind == 2 ? WasPixel{32, uint8_t(y)}
                       : kind == 3 ? WasPixel{uint8_t(3 + y), 9}
                       : kind == 4 ? WasPixel{0, uint8_t(x)}
                                   : WasPixel{uint8_t(x % 32), uint8_t(x)});
    }
    for (int y = 0; y < 7; ++y)
        if (y % 3 == 1)
            std::fill(wide.begin() + 40 * y + 10 * y % 40, wide.begin() + 40 * (y + 1), WasPixel{});
    put("kromby_rows", "wide-runs", block(Frame::Encode(0, 0, 40, 7, wide), 0));
    put("kromby_rows", "wide-runs-room-after", block(Frame::Encode(2, 3, 40, 7, wide), 90));
    put("kromby_rows", "rows-end-early",
        block(fixture::RawFrame(64, {{0x00},
                                     {0x45, 1, 2, 3, 4, 5, 0x00},
                                     {0xBF, 3, 0x21, 4},
                                     {0xC0, 0x40, 0x80, 7, 0xA0, 8, 0xE0}}),
              10));

    put("kromby_scheme", "default-scheme",
        Bytes{'w', 's', 'l', 'n', 1, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 1,
              0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,   0, 0, 1, 0, 0,
              0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,   1, 0, 0});
    put("kromby_scheme", "library",
        SerializePalLibrary({PalLib{0, 63, {kIdentityMatrix, DyeMatrix{1, 2, 3, 4, 5, 6, 7, 8, 9}}},
                             PalLib{64, 255, {}}}));
    return 0;
}
