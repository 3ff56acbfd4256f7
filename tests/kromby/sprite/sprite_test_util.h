// Small helpers shared by the sprite tests.
#pragma once

#include <functional>
#include <string>

#include "kromby/sprite/was_file.h"
#include "tests/support/was_builder.h"

namespace fixture {

inline TWasFile LoadBytes(const Bytes& bytes, const WasLimits& limits = {}) {
    TWasFile was;
    was.LoadFromMemory(bytes, "mem.was", limits);
    return was;
}

// The message of the error `f` raises, or "" when it raises none.
inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

inline std::string RowError(int row) {
    return "第" + std::to_string(row) + "行遇到错误数据啦！";
}

// A palette whose every entry differs: entry i = i * 257 (wrapping).
inline WasPalette DistinctPalette() {
    WasPalette p{};
    for (int i = 0; i < 256; ++i) p[size_t(i)] = uint16_t(i * 257 + 1);
    return p;
}

inline WasPixel Px(int alpha, int index) {
    return WasPixel{uint8_t(alpha), uint8_t(index)};
}

}  // namespace fixture
