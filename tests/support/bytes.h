// Byte buffers of test fixtures and little-endian appending to them.
#pragma once

#include <cstdint>
#include <vector>

namespace fixture {

using Bytes = std::vector<uint8_t>;

inline void PutU16(Bytes& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void PutU32(Bytes& out, uint32_t v) {
    PutU16(out, uint16_t(v));
    PutU16(out, uint16_t(v >> 16));
}

}  // namespace fixture
