// Any bytes as a sprite: load, and when it loads, draw every frame with both renderers at
// clipping positions, dye, save and export into a scratch folder.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "kromby/sprite/was_file.h"

namespace {

const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "kromby-fuzz-was";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWasFile was;
    // Smaller limits than the viewer's keep each input fast; the checks are the same.
    const WasLimits limits{4096, uint64_t(1) << 22};
    try {
        was.LoadFromMemory({data, size}, (Scratch() / "f.was").string(), limits);
    } catch (const KrombyError&) {
        return 0;
    }

    std::vector<uint8_t> bits24(37 * 3 * 29), bits32(37 * 4 * 29);
    const Surface24 s24{37, 29, 37 * 3, bits24.data()};
    const Surface32 s32{37, 29, -37 * 4, bits32.data() + 37 * 4 * 28};
    const int32_t frames = int32_t(was.Frames().size());
    const int32_t spots[][2] = {{0, 0}, {18, 14}, {-5, 40}, {36, 28}, {INT32_MAX, INT32_MIN}};
    for (int32_t i = -1; i <= frames; ++i) {
        for (const auto& p : spots) {
            try {
                was.DrawFrame(s24, p[0], p[1], i);
                was.DrawFrame32(s32, p[0], p[1], i);
            } catch (const KrombyError&) {
                if (i >= 0 && i < frames) __builtin_trap();  // only bad indices may fail
            }
        }
    }

    const uint8_t k = size > 20 ? data[20] : 0;
    was.DyeRange(k / 2, 255 - k / 3, DyeMatrix{0xFFFFFF00u, k, 512, 3, 256, 0, 1u << 31, 7, 255});
    was.DyeRange(200, 100, kIdentityMatrix);

    const auto& h = was.Header();
    const uint64_t canvas = was.Frames().size() == 1 ? uint64_t(std::max(was.FrameWidth(0), 0)) *
                                                           uint64_t(std::max(was.FrameHeight(0), 0))
                                                     : uint64_t(h.Width) * h.Height;
    if (frames <= 16 && canvas <= (1u << 18)) {
        try {
            was.ExportTGA();
        } catch (const std::exception&) {
        }
    }
    try {
        was.SaveToFile((Scratch() / "saved.was").string());
    } catch (const std::exception&) {
    }
    return 0;
}
