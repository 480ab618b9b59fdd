// The division identities the SSE2 steps replace table lookups with, over their whole ranges.
#include "softrender/rules/simd_rows_565.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

#if ZN_SIMD_ROWS

uint16_t Lane0(__m128i v) { return static_cast<uint16_t>(_mm_extract_epi16(v, 0)); }

TEST(SimdRowsTest, DivisionBy255IsExactUpTo255Squared) {
    for (uint32_t x = 0; x <= 255u * 255u; ++x) {
        const __m128i v = _mm_set1_epi16(static_cast<short>(x));
        ASSERT_EQ(Lane0(simd_rows_32_detail::Div255(v)), x / 255) << x;
    }
}

TEST(SimdRowsTest, DivisionBy63IsExactUpTo63Squared) {
    for (uint32_t x = 0; x <= 63u * 63u; ++x) {
        const __m128i v = _mm_set1_epi16(static_cast<short>(x));
        ASSERT_EQ(Lane0(_mm_srli_epi16(_mm_mulhi_epu16(v, _mm_set1_epi16(2081)), 1)), x / 63) << x;
    }
}

TEST(SimdRowsTest, LerpFromProductHalvesIsTheFloor) {
    for (int d = 0; d < 256; d += 5) {
        for (int b = 0; b < 256; b += 3) {
            for (uint32_t f : {0u, 1u, 255u, 256u, 32768u, 65025u, 65535u}) {
                const __m128i r = simd_rows_32_detail::Lerp16(_mm_set1_epi16(static_cast<short>(d)),
                                                              _mm_set1_epi16(static_cast<short>(b)),
                                                              _mm_set1_epi16(static_cast<short>(f)));
                const int64_t num = static_cast<int64_t>(b - d) * f;
                const int64_t floorDiv = num >= 0 ? num / 65536 : -((-num + 65535) / 65536);
                ASSERT_EQ(Lane0(r), d + floorDiv) << d << " " << b << " " << f;
            }
        }
    }
}

#endif

}  // namespace
