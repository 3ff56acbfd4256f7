// Any bytes as one frame block: every row decoder this processor has must give the careful
// decoder's pixels, or its error.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kromby/sprite/was_codec.h"

namespace {

struct Decoded {
    TWasImage image;
    std::string error;
};

Decoded Decode(std::span<const uint8_t> block, RowDecoder decoder) {
    Decoded d;
    uint64_t budget = uint64_t(1) << 20;
    std::vector<const uint8_t*> scratch;
    try {
        DecodeFrame(d.image, block, 0, budget, 0, scratch, decoder);
    } catch (const KrombyError& e) {
        d.error = e.what();
    }
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> block{data, size};
    const Decoded careful = Decode(block, RowDecoder::kCareful);
    for (const RowDecoder d : {RowDecoder::kSse2, RowDecoder::kAvx2}) {
        if (!RowDecoderAvailable(d)) continue;
        const Decoded other = Decode(block, d);
        if (other.error != careful.error) __builtin_trap();
        if (careful.error.empty() && other.image.Pixels != careful.image.Pixels) __builtin_trap();
    }
    return 0;
}
