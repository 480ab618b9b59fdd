// The division identities the SSE2 steps replace table lookups with, over their whole ranges.
#include "softrender/rules/simd_rows_565.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "softrender/rules/blend_tables.h"

namespace {

#if ZN_SIMD_ROWS

uint16_t Lane0(__m128i v) { return static_cast<uint16_t>(_mm_extract_epi16(v, 0)); }

uint16_t LaneAt(__m128i v, int lane) {
    alignas(16) uint16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
    return lanes[lane];
}

// The multiplier form of a ProductTable row against the table, for every row p and value v:
// each colour lane of a pixel carries its own row, and the fourth lane comes out 0.
TEST(SimdRowsTest, ProductRowByMultiplierIsTheTableForEveryPair) {
    BuildBlendTables();
    using S = SimdLanes128;
    for (uint32_t p = 0; p < 256; ++p) {
        const uint32_t rows[3] = {p, 255 - p, (p * 37 + 11) & 0xFF};
        const auto lanes = simd_steps_32::MakeProductLanes<S>(rows[0], rows[1], rows[2]);
        for (uint32_t v = 0; v < 256; ++v) {
            const __m128i r = simd_steps_32::ProductRow<S>(S::Set16(static_cast<uint16_t>(v)), lanes);
            for (int pixel = 0; pixel < 2; ++pixel) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(LaneAt(r, pixel * 4 + c), ProductTable[rows[c]][v])
                        << "row " << rows[c] << " value " << v;
                }
                ASSERT_EQ(LaneAt(r, pixel * 4 + 3), 0) << p << " " << v;
            }
        }
    }
}

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
