// Dye schemes: ordered lists of palette ranges with their colour matrices, and .wsln files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kromby/sprite/was_file.h"

struct DyeSegment {
    int32_t First = 0;
    int32_t Last = 0;  // inclusive
    DyeMatrix Matrix{};
    friend bool operator==(const DyeSegment&, const DyeSegment&) = default;
};

// Applied in order; later segments win where ranges overlap. Empty is allowed.
using DyeSegmentList = std::vector<DyeSegment>;

// The one segment 0..255 with the identity matrix.
DyeSegmentList DefaultScheme();

// Checks a whole .wsln image before anything uses it: the magic, a count N >= 0 whose N records
// are all present, and every range inside 0..255. Throws KrombyError with the user's message.
DyeSegmentList ParseScheme(std::span<const uint8_t> bytes);
DyeSegmentList ReadSchemeFile(const std::string& path);

std::vector<uint8_t> SerializeScheme(const DyeSegmentList& scheme);
// Replaces `path` only once the whole file is written.
void WriteSchemeFile(const std::string& path, const DyeSegmentList& scheme);

// DyeRange of every segment, in order, on the working palette as it stands.
void ApplyScheme(TWasFile& sprite, const DyeSegmentList& scheme);
