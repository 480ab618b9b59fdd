// Four-pixel SSE2 steps of the 32-bit pixel rules, for the walkers of kernels that step one
// source pixel per destination pixel: the steps of simd_steps_32.h at the SSE2 width. Each
// step gives exactly the results of ApplyRule32 and the loop's acceptance (pixel_draw.h); the
// walkers finish a row's last pixels one at a time.
//
// Also the 128-bit helpers the 16-bit steps share: floor(x / 255) = (x + 1 + (x >> 8)) >> 8,
// exact for 0 <= x <= 65025, the lane select, the unsigned compare and the lerp from the
// halves of the products.
#pragma once
#include <cstdint>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/simd_lanes_128.h"
#include "softrender/rules/simd_steps_32.h"

#if defined(__SSE2__)
#define ZN_SIMD_ROWS 1
#else
#define ZN_SIMD_ROWS 0
#endif

// Whether SimdRow32 takes a loop.
template <PixelLoop L>
constexpr bool kSimdRow32 = ZN_SIMD_ROWS && simd_steps_32::kLoopSupported<L>;

#if ZN_SIMD_ROWS

namespace simd_rows_32_detail {

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return simd_steps_32::Select<SimdLanes128>(mask, ifSet, ifClear);
}

// floor(x / 255) per 16-bit lane, x <= 65025.
inline __m128i Div255(__m128i x) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)),
                          8);
}

// Unsigned 16-bit a < b as a lane mask.
inline __m128i LessU16(__m128i a, __m128i b) { return simd_steps_32::LessU16<SimdLanes128>(a, b); }

// d + floor((b - d) * f / 65536) per lane, f < 65536.
inline __m128i Lerp16(__m128i d, __m128i b, __m128i f) {
    return simd_steps_32::Lerp16<SimdLanes128>(d, b, f);
}

}  // namespace simd_rows_32_detail

// Draws the first (n / 4) * 4 pixels of a row of a 32-bit loop and returns how many it drew.
// src is the row's first source pixel (1 byte per paletted pixel, else 4), blend the row's
// first blend byte (loops with a weight only).
template <PixelLoop L>
inline int32_t SimdRow32(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int32_t n,
                         const PixelContext& c) {
    static_assert(kSimdRow32<L>, "no four-pixel step for this loop");
    return simd_steps_32::Row<SimdLanes128, L>(dst, src, blend, n, c);
}

#else

template <PixelLoop L>
inline int32_t SimdRow32(uint8_t*, const uint8_t*, const uint8_t*, int32_t, const PixelContext&) {
    return 0;
}

#endif
