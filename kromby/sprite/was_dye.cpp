#include <algorithm>

#include "kromby/sprite/was_file.h"

void TWasFile::DyeRange(int32_t first, int32_t last, DyeMatrix m) {
    if (first < 0 || last > 255) throw KrombyError("只有0~255号调色板是可用的!");
    // Sums wrap modulo 2^32 on purpose: a weight stored as a negative number saturates its
    // channel instead of darkening it, and stored schemes rely on that.
    auto channel = [](uint32_t sum, uint32_t top) { return std::min(sum >> 8, top); };
    for (int32_t i = first; i <= last; ++i) {
        const uint16_t e = filePalette_[size_t(i)];
        const uint32_t r = (e >> 11) & 0x1F, g = (e >> 5) & 0x3F, b = e & 0x1F;
        const uint32_t R = channel(m[0] * r + m[1] * g + m[2] * b, 31);
        const uint32_t G = channel(m[3] * r + m[4] * g + m[5] * b, 63);
        const uint32_t B = channel(m[6] * r + m[7] * g + m[8] * b, 31);
        workingPalette_[size_t(i)] = uint16_t(R << 11 | G << 5 | B);
    }
}
