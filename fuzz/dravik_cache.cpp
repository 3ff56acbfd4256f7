// The whole walk with image export over arbitrary cache files. Input: a 32-bit little-endian
// length n, then n bytes of v3d.hdr, then the rest as v3d.dat.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "dravik/core/cache.h"
#include "dravik/core/workspace.h"
#include "fuzz/dravik_fuzz_util.h"
#include "kd/file_io.h"
#include "kd/le.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const size_t hdrSize = std::min<size_t>(kd::LoadU32(data), size - 4);
    const auto& dir = dravik_fuzz::ScratchDir();
    const auto hdr = dir / "v3d.hdr", dat = dir / "v3d.dat";
    kd::WriteWholeFile(hdr, {data + 4, hdrSize});
    kd::WriteWholeFile(dat, {data + 4 + hdrSize, size - 4 - hdrSize});
    std::filesystem::remove_all(dir / "out");

    static dravik::Workspace ws;  // buffers carry over between inputs, as between runs
    static bool ready = [] {
        ws.maxPixels = 1 << 16;  // keeps each input fast; the limit's check is what matters
        ws.log.Open("/dev/null");
        const uint8_t pal[] = {'.', 'p', 'a', 'l', 2, 0, 0, 0, 255, 255, 255, 0, 1, 2, 3, 0};
        ws.packages.Add("memory", dravik::MakeMemoryPackage(
                                      {{"mypal/weapon/0.pal", {pal, pal + sizeof pal}},
                                       {"mypal/equip/1_0.pal", {pal, pal + sizeof pal}}}));
        return true;
    }();
    (void)ready;
    ws.exportDir = kd::PathToUtf8(dir / "out") + "/";
    const int errorsBefore = ws.log.ErrorCount();
    int last = -1;
    dravik::ExtractCache(ws, hdr, dat, [&](int p) {
        if (p < 0 || p > 100) __builtin_trap();
        last = p;
    });
    if (last != 100 && ws.log.ErrorCount() == errorsBefore) __builtin_trap();  // a clean run ends at 100
    return 0;
}
