// Palette libraries (.wpal): segment boundaries with a list of ready-made matrices each.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kromby/scheme/scheme_file.h"

struct PalLib {
    int32_t First = 0;
    int32_t Last = 0;                 // inclusive
    std::vector<DyeMatrix> Matrices;  // entry j is picker item j; may be empty
    friend bool operator==(const PalLib&, const PalLib&) = default;

    // What a fresh segment starts with: entry 0, or the neutral matrix when there is none.
    DyeMatrix FirstEntry() const { return Matrices.empty() ? kIdentityMatrix : Matrices.front(); }
};

using PalLibraryList = std::vector<PalLib>;

// Checks the whole image before anything uses it: the magic, counts not negative, every
// boundary and every entry present, every segment inside 0..255 (a reversed one is allowed: it
// dyes nothing). Throws KrombyError("这可不是有效的调色板配置文件哦！").
PalLibraryList ParsePalLibrary(std::span<const uint8_t> bytes);
PalLibraryList ReadPalLibraryFile(const std::string& path);

// The file image of a library whose segments are contiguous (segment i ends where i + 1 starts).
std::vector<uint8_t> SerializePalLibrary(const PalLibraryList& library);
