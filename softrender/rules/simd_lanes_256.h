// The AVX2 register width of the 32-bit pixel steps (simd_steps_32.h): eight pixels per
// register. Only code compiled for AVX2 (a target switch before the include) includes this
// header, and it runs only once the processor is known to have AVX2. Unpacks and packs work
// within each 128-bit half, so a register's pixels 0, 1, 4, 5 and 2, 3, 6, 7 land in its low
// and high unpacked registers, and the pack puts them back in order: the steps see the same
// per-pixel lanes as at the SSE2 width.
#pragma once
#include <cstdint>

#include <immintrin.h>

struct SimdLanes256 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    // Blend weights come already spread over a pixel's colour lanes, from c.weightLanes.
    static constexpr bool kWeightLanesTable = true;

    static V Load(const uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V Set16(uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static V Repeat64(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }

    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    template <int N> static V ShiftRight16(V a) { return _mm256_srli_epi16(a, N); }
    template <int N> static V ShiftRight32(V a) { return _mm256_srli_epi32(a, N); }
    template <int N> static V ShiftLeft32(V a) { return _mm256_slli_epi32(a, N); }
    static V Equal32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V LessS16(V a, V b) { return _mm256_cmpgt_epi16(b, a); }
    static V AddSatU8(V a, V b) { return _mm256_adds_epu8(a, b); }
    static V SubSatU8(V a, V b) { return _mm256_subs_epu8(a, b); }
    static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
    static V UnpackLo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
    static V UnpackHi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
    static V PackU16(V a, V b) { return _mm256_packus_epi16(a, b); }
    static bool AllSet(V m) { return _mm256_movemask_epi8(m) == -1; }

    static V Indices(const uint8_t* s) {
        return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
    }
    // Entries of a 256-entry table of 32-bit values for the pixels' index bytes: loads of
    // their own (the processor's gather is slower than these on the machines measured), the
    // index bytes from one load taken apart in integer registers.
    static V Lookup32(const uint32_t* table, const uint8_t* s, V) {
        const uint64_t g = EightBytes(s);
        auto at = [&](int k) { return static_cast<int>(table[(g >> (8 * k)) & 0xFF]); };
        return _mm256_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    }
    // Eight index or blend bytes in one 64-bit word, the first in the low byte.
    static uint64_t EightBytes(const uint8_t* b) {
        return static_cast<uint64_t>(
            _mm_cvtsi128_si64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b))));
    }
    // The blend weights of the pixels' blend bytes (eight of them in g, the first in the low
    // byte) in the colour lanes of the low (pixels 0, 1, 4, 5) and high (2, 3, 6, 7) unpacked
    // registers, from the call's table of BlendWeightMap entries spread over a pixel's lanes
    // (c.weightLanes, which a kernel running these steps with a blend image sets). The bytes
    // come from one load and are taken apart in integer registers, which spares the loads.
    static V WeightLanesLo(const PixelContext& c, uint64_t g) {
        const uint64_t* t = c.weightLanes;
        return _mm256_setr_epi64x(static_cast<long long>(t[g & 0xFF]),
                                  static_cast<long long>(t[(g >> 8) & 0xFF]),
                                  static_cast<long long>(t[(g >> 32) & 0xFF]),
                                  static_cast<long long>(t[(g >> 40) & 0xFF]));
    }
    static V WeightLanesHi(const PixelContext& c, uint64_t g) {
        const uint64_t* t = c.weightLanes;
        return _mm256_setr_epi64x(static_cast<long long>(t[(g >> 16) & 0xFF]),
                                  static_cast<long long>(t[(g >> 24) & 0xFF]),
                                  static_cast<long long>(t[(g >> 48) & 0xFF]),
                                  static_cast<long long>(t[g >> 56]));
    }
};
