#include "kromby/sprite/was_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "kromby/sprite/was_rows_fast.h"

namespace was_rows {
namespace {

struct Sse2Lanes {
    static constexpr int kPixels = 8, kMinStore = 24;
    static __m128i Fill(uint32_t value) {
        return _mm_shuffle_epi32(_mm_shufflelo_epi16(_mm_cvtsi32_si128(int(value)), 0), 0);
    }
    static __m128i Shift(int bits) { return _mm_cvtsi32_si128(bits); }
    // Eight pixels of `fill`, each with a literal byte << `shift` added.
    static void Put(WasPixel* dst, const uint8_t* literals, __m128i fill, __m128i shift) {
        const __m128i lit = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(literals));
        const __m128i wide = _mm_unpacklo_epi8(lit, _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                         _mm_or_si128(_mm_sll_epi16(wide, shift), fill));
    }
};

}  // namespace

void DecodeRowsSse2(WasPixel* pixels, size_t width, int32_t height, const uint8_t* const* rows,
                    const uint8_t* end) {
    DecodeRowsInPairs<Sse2Lanes>(pixels, width, height, rows, end);
}

}  // namespace was_rows
#endif
