// Little-endian field access. Every multi-byte value in the formats handled here is
// little-endian; reading byte by byte keeps the code independent of host order and alignment.
#pragma once

#include <cstdint>

namespace kd {

inline uint16_t LoadU16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t LoadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int16_t LoadS16(const uint8_t* p) {
    return int16_t(LoadU16(p));
}
inline int32_t LoadS32(const uint8_t* p) {
    return int32_t(LoadU32(p));
}

inline void StoreU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace kd
