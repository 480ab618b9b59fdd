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

#include "softrender/rules/carry_mask_ops.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace packed_detail {

// Where a row's source pixels come from: 32-bit pixels read directly, or palette indices
// looked up in 256 32-bit entries.
struct DirectSource {
    const uint8_t* src;
    uint32_t One(int32_t i) const {
        uint32_t s;
        std::memcpy(&s, src + i * 4, 4);
        return s;
    }
#if defined(__SSE2__)
    __m128i Four(int32_t i) const {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
    }
#endif
};

struct PalettedSource {
    const uint8_t* src;
    const uint32_t* palette;
    uint32_t One(int32_t i) const { return palette[src[i]]; }
#if defined(__SSE2__)
    __m128i Four(int32_t i) const {
        return _mm_setr_epi32(static_cast<int>(palette[src[i]]), static_cast<int>(palette[src[i + 1]]),
                              static_cast<int>(palette[src[i + 2]]), static_cast<int>(palette[src[i + 3]]));
    }
#endif
};

// The operations, each as four pixels in one register and as one pixel in a word.
struct SaturatingAdd {
    static uint32_t One(uint32_t d, uint32_t s) { return SaturatingAddBytes32(d, s); }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) { return _mm_adds_epu8(d, s); }
#endif
};

struct SaturatingSub {
    static uint32_t One(uint32_t d, uint32_t s) { return SaturatingSubBytes32(d, s); }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) { return _mm_subs_epu8(d, s); }
#endif
};

struct HalfAverage {
    static uint32_t One(uint32_t d, uint32_t s) { return HalfAverage32(d, s); }
#if defined(__SSE2__)
    static __m128i Four(__m128i d, __m128i s) {
        const __m128i mask = _mm_set1_epi32(0x007F7F7F);
        return _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(s, 1), mask),
                             _mm_and_si128(_mm_srli_epi32(d, 1), mask));
    }
#endif
};

// One row of n pixels: four at a time while four remain, then one at a time.
template <class Op, class Source>
inline void PackedRow32(uint8_t* dst, const Source& source, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), Op::Four(d, source.Four(i)));
    }
#endif
    for (; i < n; ++i) {
        uint32_t d;
        std::memcpy(&d, dst + i * 4, 4);
        d = Op::One(d, source.One(i));
        std::memcpy(dst + i * 4, &d, 4);
    }
}

}  // namespace packed_detail

// dst[i] = per byte min(255, dst[i] + src[i]), all four bytes.
inline void PackedAddRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    packed_detail::PackedRow32<packed_detail::SaturatingAdd>(dst, packed_detail::DirectSource{src}, n);
}

// dst[i] = per byte max(0, dst[i] - src[i]), all four bytes.
inline void PackedSubRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    packed_detail::PackedRow32<packed_detail::SaturatingSub>(dst, packed_detail::DirectSource{src}, n);
}

// dst[i] = HalfAverage32(dst[i], src[i]): each colour byte floor(s / 2) + floor(d / 2), the
// fourth byte 0.
inline void PackedHalfAverageRow32(uint8_t* dst, const uint8_t* src, int32_t n) {
    packed_detail::PackedRow32<packed_detail::HalfAverage>(dst, packed_detail::DirectSource{src}, n);
}

// The add and subtract with a paletted source: src holds one palette index per pixel and
// palette the 32-bit entries (256 of them).
inline void PackedAddRowPaletted32(uint8_t* dst, const uint8_t* src, const uint32_t* palette,
                                   int32_t n) {
    packed_detail::PackedRow32<packed_detail::SaturatingAdd>(
        dst, packed_detail::PalettedSource{src, palette}, n);
}

inline void PackedSubRowPaletted32(uint8_t* dst, const uint8_t* src, const uint32_t* palette,
                                   int32_t n) {
    packed_detail::PackedRow32<packed_detail::SaturatingSub>(
        dst, packed_detail::PalettedSource{src, palette}, n);
}
