// The SSE2 register width of the 32-bit pixel steps (simd_steps_32.h): four pixels per
// register, worked as two registers of 16-bit lanes. Every operation is named for what the
// steps need, so that the same step code runs at another register width.
#pragma once
#include <cstdint>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"

#if defined(__SSE2__)
#include <emmintrin.h>

struct SimdLanes128 {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static constexpr bool kWeightLanesTable = false;  // weights through Weights()

    static V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V Set16(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    // The four 16-bit lanes of one pixel, repeated for every pixel (lane 0 in the low bits).
    static V Repeat64(uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }

    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm_sub_epi32(a, b); }
    static V MulLo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    template <int N> static V ShiftRight16(V a) { return _mm_srli_epi16(a, N); }
    template <int N> static V ShiftRight32(V a) { return _mm_srli_epi32(a, N); }
    template <int N> static V ShiftLeft32(V a) { return _mm_slli_epi32(a, N); }
    static V Equal32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V LessS16(V a, V b) { return _mm_cmplt_epi16(a, b); }
    static V AddSatU8(V a, V b) { return _mm_adds_epu8(a, b); }
    static V SubSatU8(V a, V b) { return _mm_subs_epu8(a, b); }
    static V UnpackLo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V UnpackHi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
    static V UnpackLo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
    static V UnpackHi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
    static V PackU16(V a, V b) { return _mm_packus_epi16(a, b); }
    static bool AllSet(V m) { return _mm_movemask_epi8(m) == 0xFFFF; }

    // The pixels' index bytes, one per 32-bit lane.
    static V Indices(const uint8_t* s) { return _mm_setr_epi32(s[0], s[1], s[2], s[3]); }
    // Entries of a 256-entry table of 32-bit values for the pixels' index bytes.
    static V Lookup32(const uint32_t* table, const uint8_t* s, V) {
        return _mm_setr_epi32(static_cast<int>(table[s[0]]), static_cast<int>(table[s[1]]),
                              static_cast<int>(table[s[2]]), static_cast<int>(table[s[3]]));
    }
    // The blend weights (BlendWeightMap) of the pixels' blend bytes.
    static V Weights(const PixelContext&, const uint8_t* b) {
        return _mm_setr_epi32(BlendWeightMap[b[0]], BlendWeightMap[b[1]], BlendWeightMap[b[2]],
                              BlendWeightMap[b[3]]);
    }
};

#endif
