// Palette choice and .pal reading. Input: a length byte n and n bytes of entry information
// record, then the .pal file, stored under the name that the record chooses.
#include <cstdint>
#include <cstring>

#include "dravik/core/palette.h"
#include "dravik/core/workspace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    dravik::EntryInfo info;
    const size_t n = std::min<size_t>(data[0], size - 1);
    std::memcpy(info.bytes.data(), data + 1, n);
    const std::string name = dravik::EntryPaletteName(info);
    const std::vector<uint8_t> pal(data + 1 + n, data + size);

    dravik::WPackages packages;
    packages.Add("memory", dravik::MakeMemoryPackage({{name, pal}}));
    dravik::Log log;
    dravik::WFile file(packages);
    dravik::EntryPalette palette{};
    dravik::LoadEntryPalette(log, info, file, palette);
    // Only colours that the file holds (in part, for the last one) may be set.
    const size_t entries = pal.size() >= 8 ? (pal.size() - 8 + 3) / 4 : 0;
    for (size_t k = std::min<size_t>(entries, 256); k < 256; ++k)
        if (palette[k] != 0) __builtin_trap();
    return 0;
}
