// Compiled for processors with AVX2; called only where the processor has it.
#include "kromby/sprite/was_rows.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "kromby/sprite/was_rows_fast.h"

namespace was_rows {
namespace {

struct Avx2Lanes {
    static constexpr int kPixels = 16, kMinStore = 32;
    static __m256i Fill(uint32_t value) { return _mm256_set1_epi16(int16_t(value)); }
    static __m128i Shift(int bits) { return _mm_cvtsi32_si128(bits); }
    // Sixteen pixels of `fill`, each with a literal byte << `shift` added.
    static void Put(WasPixel* dst, const uint8_t* literals, __m256i fill, __m128i shift) {
        const __m256i lit =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(literals)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst),
                            _mm256_or_si256(_mm256_sll_epi16(lit, shift), fill));
    }
};

}  // namespace

void DecodeRowsAvx2(WasPixel* pixels, size_t width, int32_t height, const uint8_t* const* rows,
                    const uint8_t* end) {
    DecodeRowsInPairs<Avx2Lanes>(pixels, width, height, rows, end);
}

}  // namespace was_rows
#endif
