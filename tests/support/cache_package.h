// Palette files and palette packages for the extractor's tests and demo data.
#pragma once

#include "tests/support/bytes.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fixture {

struct PalColour {
    uint8_t Blue = 0, Green = 0, Red = 0;
};

// A .pal file: magic, PalCount (default: the number of colours), PalSkip filler bytes, then
// one blue-green-red-unused entry per colour.
Bytes BuildPal(const std::vector<PalColour>& colours, std::optional<int16_t> count = {},
               int16_t skip = 0, uint32_t magic = 0x6C61702E);

// A ZIP archive holding `files` under their names, stored or deflated alternately.
void WriteZipPackage(const std::filesystem::path& path, const std::map<std::string, Bytes>& files);

}  // namespace fixture
