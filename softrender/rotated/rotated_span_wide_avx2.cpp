// The AVX2 runs of the rotated blit's copies of direct pixels. Everything between the target switches is
// compiled for AVX2 and is only ever called once WideStepsActive() has found the processor to
// have it; it has internal linkage.
#include <cstddef>
#include <cstdint>

#include "softrender/rotated/rotated_span_wide.h"
#include "softrender/rules/simd_width.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define ZN_WIDE_ROTATED 1
#else
#define ZN_WIDE_ROTATED 0
#endif

#if ZN_WIDE_ROTATED

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include <immintrin.h>

namespace {

// Eight points at a time: the source offsets from the points' row and column, the pixels
// gathered from them, the key's pixels replaced by the destination's own.
template <bool Keyed>
int32_t CopyRun(uint8_t* dst, uint32_t u, uint32_t v, int32_t count, const WideRotatedRun& run) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i stepU = _mm256_set1_epi32(static_cast<int>(run.stepU));
    const __m256i stepV = _mm256_set1_epi32(static_cast<int>(run.stepV));
    // u + k * stepU in 32 bits, as the single-pixel walk steps it.
    __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)),
                                  _mm256_mullo_epi32(lanes, stepU));
    __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)),
                                  _mm256_mullo_epi32(lanes, stepV));
    const __m256i stepU8 = _mm256_slli_epi32(stepU, 3);
    const __m256i stepV8 = _mm256_slli_epi32(stepV, 3);
    const __m256i pitch = _mm256_set1_epi32(run.pitch);
    const __m256i key = _mm256_set1_epi32(static_cast<int>(run.key));
    const int* base = reinterpret_cast<const int*>(run.base);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i offsets = _mm256_add_epi32(
            _mm256_mullo_epi32(_mm256_srli_epi32(vs, 18), pitch),
            _mm256_slli_epi32(_mm256_srli_epi32(us, 18), 2));
        __m256i pixels = _mm256_i32gather_epi32(base, offsets, 1);
        __m256i* d = reinterpret_cast<__m256i*>(dst + static_cast<ptrdiff_t>(i) * 4);
        if constexpr (Keyed) {
            const __m256i keyed = _mm256_cmpeq_epi32(pixels, key);
            pixels = _mm256_blendv_epi8(pixels, _mm256_loadu_si256(d), keyed);
        }
        _mm256_storeu_si256(d, pixels);
        us = _mm256_add_epi32(us, stepU8);
        vs = _mm256_add_epi32(vs, stepV8);
    }
    return i;
}

// The 16-bit runs gather the 32-bit word that ends with each pixel (its offset less 2) and
// keep the word's high half, so that no read passes the image's last pixel; the word before
// the image's first pixel is never read: that lane takes the first pixel from run.first.
template <bool Keyed>
int32_t CopyRun565(uint8_t* dst, uint32_t u, uint32_t v, int32_t count,
                   const WideRotatedRun& run) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i stepU = _mm256_set1_epi32(static_cast<int>(run.stepU));
    const __m256i stepV = _mm256_set1_epi32(static_cast<int>(run.stepV));
    __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)),
                                  _mm256_mullo_epi32(lanes, stepU));
    __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)),
                                  _mm256_mullo_epi32(lanes, stepV));
    const __m256i stepU8 = _mm256_slli_epi32(stepU, 3);
    const __m256i stepV8 = _mm256_slli_epi32(stepV, 3);
    const __m256i pitch = _mm256_set1_epi32(run.pitch);
    const __m256i key = _mm256_set1_epi32(static_cast<int>(run.key));
    const __m256i two = _mm256_set1_epi32(2);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i firstPixel = _mm256_set1_epi32(static_cast<int>(run.first << 16));
    const int* base = reinterpret_cast<const int*>(run.base);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i offsets = _mm256_add_epi32(
            _mm256_mullo_epi32(_mm256_srli_epi32(vs, 18), pitch),
            _mm256_slli_epi32(_mm256_srli_epi32(us, 18), 1));
        const __m256i inside = _mm256_xor_si256(_mm256_cmpeq_epi32(offsets, zero),
                                                _mm256_set1_epi32(-1));
        const __m256i words = _mm256_mask_i32gather_epi32(
            firstPixel, base, _mm256_sub_epi32(offsets, two), inside, 1);
        const __m256i pixels = _mm256_srli_epi32(words, 16);
        // Eight 16-bit pixels in order in the low half.
        const __m256i packed =
            _mm256_permute4x64_epi64(_mm256_packus_epi32(pixels, pixels), 0x08);
        __m128i out = _mm256_castsi256_si128(packed);
        __m128i* d = reinterpret_cast<__m128i*>(dst + static_cast<ptrdiff_t>(i) * 2);
        if constexpr (Keyed) {
            const __m256i keyed = _mm256_cmpeq_epi32(pixels, key);
            const __m128i keep = _mm256_castsi256_si128(
                _mm256_permute4x64_epi64(_mm256_packs_epi32(keyed, keyed), 0x08));
            out = _mm_blendv_epi8(out, _mm_loadu_si128(d), keep);
        }
        _mm_storeu_si128(d, out);
        us = _mm256_add_epi32(us, stepU8);
        vs = _mm256_add_epi32(vs, stepV8);
    }
    return i;
}

constexpr WideRotatedCopies kCopies{.copy = &CopyRun<false>, .copyKeyed = &CopyRun<true>};
constexpr WideRotatedCopies kCopies565{.copy = &CopyRun565<false>,
                                       .copyKeyed = &CopyRun565<true>};

}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

const WideRotatedCopies* FindWideRotatedCopies(int pixelFormat, const uint8_t* pixels,
                                               int32_t height, int32_t pitch) {
#if ZN_WIDE_ROTATED
    if (!WideStepsActive() || pixels == nullptr || pitch <= 0 || height <= 0) return nullptr;
    // The largest offset, (height - 1) * pitch plus a row's bytes, must fit 31 bits.
    if (static_cast<int64_t>(height) * pitch > INT32_MAX) return nullptr;
    return pixelFormat == 1 ? &kCopies : &kCopies565;
#else
    (void)pixelFormat;
    (void)pixels;
    (void)height;
    (void)pitch;
    return nullptr;
#endif
}
