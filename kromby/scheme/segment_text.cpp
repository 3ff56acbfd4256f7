#include "kromby/scheme/segment_text.h"

#include <cstdint>

namespace {

[[noreturn]] void NotAnInteger(std::string_view text) {
    throw KrombyError("'" + std::string(text) + "' is not a valid integer value");
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr DyeMatrix kTypedMatrix{255, 0, 0, 0, 255, 0, 0, 0, 255};

}  // namespace

int32_t StrToInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) NotAnInteger(text);

    // Decimal must fit a signed 32-bit value; hexadecimal may use all 32 bits (FFFFFFFF is -1).
    const uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0 || d >= base) NotAnInteger(text);
        value = value * uint64_t(base) + uint64_t(d);
        if (value > limit) NotAnInteger(text);
    }
    const auto bits = uint32_t(value);
    return int32_t(negative ? 0u - bits : bits);
}

std::string SegmentLabel(int32_t first, int32_t last) {
    return std::to_string(first) + "~" + std::to_string(last);
}

TypedSegments ParseSegmentLines(const std::vector<std::string>& lines) {
    TypedSegments out;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        const size_t tilde = line.find('~');
        const std::string_view text(line);
        const std::string_view before = tilde == std::string::npos ? text : text.substr(0, tilde);
        const std::string_view after = tilde == std::string::npos ? "" : text.substr(tilde + 1);
        out.Segments.push_back(DyeSegment{StrToInt(before), StrToInt(after), kTypedMatrix});
        out.Items.push_back(line);
    }
    // Every line converts before any range is judged, as when the lines were applied one by one
    // after all of them had been read.
    for (const DyeSegment& s : out.Segments)
        if (s.First < 0 || s.Last > 255) throw KrombyError("只有0~255号调色板是可用的!");
    if (out.Segments.empty()) {
        // Labelled with an exclusive end, but it must cover exactly the palette.
        out.Segments.push_back(DyeSegment{0, 255, kTypedMatrix});
        out.Items.push_back("0~256");
    }
    return out;
}
