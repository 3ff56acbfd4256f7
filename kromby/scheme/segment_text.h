// Text forms of segments: the "first~last" lines typed by the user, and integer conversion
// with the rules users of the original tool know (leading blanks, a sign, $ or 0x for hex).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kromby/scheme/scheme_file.h"

// Throws KrombyError("'<text>' is not a valid integer value") for anything else, including
// trailing blanks, an empty string and values outside 32 bits.
int32_t StrToInt(std::string_view text);

// "First~Last" as the segment list shows it.
std::string SegmentLabel(int32_t first, int32_t last);

// The outcome of a custom segmentation: the new segments and the segment list's items.
struct TypedSegments {
    DyeSegmentList Segments;
    std::vector<std::string> Items;
};

// Parses every non-empty line (a line of blanks is not empty) as first~last and checks every
// range against the palette's bounds before returning, so a caller can apply all or nothing.
// Each segment gets 255 on the diagonal. No lines give one segment "0~256" covering 0..255.
// Throws the conversion error or "只有0~255号调色板是可用的!".
TypedSegments ParseSegmentLines(const std::vector<std::string>& lines);
