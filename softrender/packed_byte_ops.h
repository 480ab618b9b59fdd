// Packed-byte row operations for 32-bit pixels: the leaves that the kernels take when the
// processor's packed-byte instructions may be used (UseMmx is 1). Each walks one row of n
// pixels, four pixels per 128-bit register, and finishes the row one pixel at a time with the
// scalar form, so every pixel gets exactly the per-byte result of carry_mask_ops.h.
//
// The packed registers of SSE2 share no state with floating-point code, so nothing has to be
// cleared after these loops.
#pragma once
#include <cstdint>
#include <cstring>

#include "softrender/carry_mask_ops.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// dst[i] = per byte min(255, dst[i] + src[i]), all four bytes.
inline void PackedAddRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), _mm_adds_epu8(d, s));
    }
#endif
    for (; i < n; ++i) {
        uint32_t d, s;
        std::memcpy(&d, dst + i * 4, 4);
        std::memcpy(&s, src + i * 4, 4);
        d = SaturatingAddBytes32(d, s);
        std::memcpy(dst + i * 4, &d, 4);
    }
}

// dst[i] = per byte max(0, dst[i] - src[i]), all four bytes.
inline void PackedSubRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), _mm_subs_epu8(d, s));
    }
#endif
    for (; i < n; ++i) {
        uint32_t d, s;
        std::memcpy(&d, dst + i * 4, 4);
        std::memcpy(&s, src + i * 4, 4);
        d = SaturatingSubBytes32(d, s);
        std::memcpy(dst + i * 4, &d, 4);
    }
}

// dst[i] = HalfAverage32(dst[i], src[i]): each colour byte floor(s / 2) + floor(d / 2), the
// fourth byte 0.
inline void PackedHalfAverageRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(0x007F7F7F);
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
        const __m128i r = _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(s, 1), mask),
                                        _mm_and_si128(_mm_srli_epi32(d, 1), mask));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), r);
    }
#endif
    for (; i < n; ++i) {
        uint32_t d, s;
        std::memcpy(&d, dst + i * 4, 4);
        std::memcpy(&s, src + i * 4, 4);
        d = HalfAverage32(d, s);
        std::memcpy(dst + i * 4, &d, 4);
    }
}

// The same three operations with a paletted source: src holds one palette index per pixel and
// palette the 32-bit entries (256 of them).
inline void PackedAddRowPaletted32(uint8_t* dst, const uint8_t* src, const uint32_t* palette,
                                   int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        const __m128i s = _mm_setr_epi32(
            static_cast<int>(palette[src[i]]), static_cast<int>(palette[src[i + 1]]),
            static_cast<int>(palette[src[i + 2]]), static_cast<int>(palette[src[i + 3]]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), _mm_adds_epu8(d, s));
    }
#endif
    for (; i < n; ++i) {
        uint32_t d;
        std::memcpy(&d, dst + i * 4, 4);
        d = SaturatingAddBytes32(d, palette[src[i]]);
        std::memcpy(dst + i * 4, &d, 4);
    }
}

inline void PackedSubRowPaletted32(uint8_t* dst, const uint8_t* src, const uint32_t* palette,
                                   int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        const __m128i s = _mm_setr_epi32(
            static_cast<int>(palette[src[i]]), static_cast<int>(palette[src[i + 1]]),
            static_cast<int>(palette[src[i + 2]]), static_cast<int>(palette[src[i + 3]]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), _mm_subs_epu8(d, s));
    }
#endif
    for (; i < n; ++i) {
        uint32_t d;
        std::memcpy(&d, dst + i * 4, 4);
        d = SaturatingSubBytes32(d, palette[src[i]]);
        std::memcpy(dst + i * 4, &d, 4);
    }
}
