// The eight-pixel runs of the blended 32-bit span loop. Everything between the target switches
// is compiled for AVX2 and is only ever called once ProcessorHasWideRuns() has found the
// processor to have it. The arithmetic is the four-pixel loop's (d3d_spans.cpp) on registers
// twice as wide: every 128-bit half of a register holds four pixels handled exactly as there
// (the unpacks, packs and shuffles work within each half).
#include "platform/d3d/d3d_spans_wide.h"

#include <cstring>

#include "platform/core/processor_features.h"
#include "platform/d3d/d3d_internal.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define ZN_D3D_WIDE_RUNS 1
#else
#define ZN_D3D_WIDE_RUNS 0
#endif

namespace plat::raster {

namespace {

const bool kProcessorHasWideRuns = ZN_D3D_WIDE_RUNS && ProcessorHasAvx2();

}  // namespace

bool ProcessorHasWideRuns() { return kProcessorHasWideRuns; }

// Where each register lies in WideBlendInputs::lanes.
enum WideLane {
    kAlphaOrLanes,
    kForceLanes,      // 16-bit lanes: blue, green, red, alpha of each pixel
    kFactorLanes,     // the same
    kKeyLowLanes,
    kKeySpanLanes,
    kAlphaForceLanes,
    kAlphaFactorLanes,
    kForceRgbLanes,
    kForceTopLanes,
    kAlphaLowLanes,
    kAlphaHighLanes,
    kAlphaOutsideLanes,
};

void PrepareWideBlend(WideBlendInputs* in) {
    auto fill = [&](WideLane lane, uint32_t even, uint32_t odd) {
        for (int i = 0; i < 8; ++i) in->lanes[lane][i] = i % 2 == 0 ? even : odd;
    };
    auto pair = [](uint32_t low, uint32_t high) { return (low & 0xFFFF) | (high & 0xFFFF) << 16; };
    const uint32_t fc = in->forceColor, fa = in->forceAlpha;
    fill(kAlphaOrLanes, in->alphaOr, in->alphaOr);
    fill(kForceLanes, pair(fc, fc), pair(fc, fa));
    fill(kFactorLanes, pair(in->mb, in->mg), pair(in->mr, in->ma));
    fill(kKeyLowLanes, in->keyLow, in->keyLow);
    const uint32_t keySpan = (in->keyHigh - in->keyLow) ^ 0x80000000u;
    fill(kKeySpanLanes, keySpan, keySpan);
    fill(kAlphaForceLanes, fa, fa);
    fill(kAlphaFactorLanes, in->ma, in->ma);
    fill(kForceRgbLanes, fc * 0x010101u, fc * 0x010101u);
    fill(kForceTopLanes, fa << 24, fa << 24);
    fill(kAlphaLowLanes, static_cast<uint32_t>(in->alphaLow - 1),
         static_cast<uint32_t>(in->alphaLow - 1));
    fill(kAlphaHighLanes, static_cast<uint32_t>(in->alphaHigh + 1),
         static_cast<uint32_t>(in->alphaHigh + 1));
    const uint32_t outside = in->alphaOutside ? 0xFFFFFFFFu : 0u;
    fill(kAlphaOutsideLanes, outside, outside);
}

}  // namespace plat::raster

#if ZN_D3D_WIDE_RUNS

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include <immintrin.h>

namespace plat::raster {

namespace {

constexpr int kFracBits = 24;
constexpr int64_t kOne = int64_t{1} << kFracBits;

template <bool kKey, bool kModulate, bool kTest>
int64_t BlendRows(const WideBlendInputs& in, int64_t* uIo, int64_t* vIo, int64_t du, int64_t dv,
                  uint8_t* p, int64_t count, int64_t rows, int64_t rowDu, int64_t rowDv,
                  ptrdiff_t targetPitch) {
    const int64_t groups = count / 8;
    if (groups == 0 && rows == 0) return 0;
    auto lanes = [&](WideLane lane) {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(in.lanes[lane]));
    };
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaOr = lanes(kAlphaOrLanes);
    const __m256i force = lanes(kForceLanes);
    const __m256i factor = lanes(kFactorLanes);
    const __m256i k127 = _mm256_set1_epi16(127), k1 = _mm256_set1_epi16(1);
    const __m256i k255 = _mm256_set1_epi16(255);
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF);
    const __m256i sign = _mm256_set1_epi32(static_cast<int>(0x80000000u));
    const __m256i keyLow = lanes(kKeyLowLanes);
    const __m256i keySpan = lanes(kKeySpanLanes);
    const __m256i alphaForce = lanes(kAlphaForceLanes);
    const __m256i alphaFactor = lanes(kAlphaFactorLanes);
    const __m256i k127x32 = _mm256_set1_epi32(127), k1x32 = _mm256_set1_epi32(1);
    const __m256i forceRgb = lanes(kForceRgbLanes);
    const __m256i forceTop = lanes(kForceTopLanes);
    const __m256i alphaStep = _mm256_set1_epi32(0x01000000);
    const __m256i alphaHighBits = _mm256_set1_epi32(static_cast<int>(0xFE000000u));
    const __m256i alphaLow = lanes(kAlphaLowLanes);
    const __m256i alphaHigh = lanes(kAlphaHighLanes);
    const __m256i alphaOutside = lanes(kAlphaOutsideLanes);
    auto div255 = [&](__m256i y) {
        return _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_add_epi16(y, k1), _mm256_srli_epi16(y, 8)), 8);
    };
    // Two pixels per 128-bit half: texel channels t and pixel channels d, 16-bit lanes.
    auto blend4 = [&](__m256i t, __m256i d) {
        t = _mm256_or_si256(t, force);
        if constexpr (kModulate) {
            t = div255(_mm256_add_epi16(_mm256_mullo_epi16(t, factor), k127));
        }
        __m256i a = _mm256_shufflelo_epi16(t, _MM_SHUFFLE(3, 3, 3, 3));
        a = _mm256_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
        const __m256i ia = _mm256_sub_epi16(k255, a);
        return div255(_mm256_add_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(t, a), _mm256_mullo_epi16(d, ia)), k127));
    };
    // Eight texels over the eight pixels old: the pixels as they become.
    auto shade8 = [&](__m256i raw, __m256i old) {
        const __m256i t = _mm256_or_si256(raw, alphaOr);
        __m256i out;
        bool blended = true;
        if constexpr (!kModulate) {
            // Eight texels of alpha 255 or 0 (alpha + 1 has no bit above the lowest of the
            // top byte) blend to the colour or the pixel as they are: chosen between by the
            // alpha's top bit, without the products.
            const __m256i forced = _mm256_or_si256(t, forceTop);
            if (_mm256_testz_si256(_mm256_add_epi32(forced, alphaStep), alphaHighBits)) {
                out = _mm256_and_si256(_mm256_blendv_epi8(old, _mm256_or_si256(t, forceRgb),
                                                          _mm256_srai_epi32(forced, 31)),
                                       rgb);
                blended = false;
            }
        }
        if (blended) {
            const __m256i lo =
                blend4(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(old, zero));
            const __m256i hi =
                blend4(_mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(old, zero));
            out = _mm256_and_si256(_mm256_packus_epi16(lo, hi), rgb);
        }
        if constexpr (kKey || kTest) {
            __m256i draw = _mm256_set1_epi32(-1);
            if constexpr (kKey) {
                const __m256i offset = _mm256_xor_si256(_mm256_sub_epi32(raw, keyLow), sign);
                draw = _mm256_cmpgt_epi32(offset, keySpan);
            }
            if constexpr (kTest) {
                __m256i a = _mm256_or_si256(_mm256_srli_epi32(t, 24), alphaForce);
                if constexpr (kModulate) {
                    const __m256i y =
                        _mm256_add_epi32(_mm256_mullo_epi16(a, alphaFactor), k127x32);
                    a = _mm256_srli_epi32(
                        _mm256_add_epi32(_mm256_add_epi32(y, k1x32), _mm256_srli_epi32(y, 8)), 8);
                }
                const __m256i pass = _mm256_xor_si256(
                    _mm256_and_si256(_mm256_cmpgt_epi32(a, alphaLow),
                                     _mm256_cmpgt_epi32(alphaHigh, a)),
                    alphaOutside);
                draw = _mm256_and_si256(draw, pass);
            }
            out = _mm256_blendv_epi8(old, out, draw);
        }
        return out;
    };
    const uint8_t* const texels = in.texels;
    const ptrdiff_t pitch = in.pitch;
    const bool alongRow = du == kOne && dv == 0;
    // One row: its whole groups, then (tail) the last count % 8 pixels through lane masks
    // (the lanes past the end neither read nor write).
    auto row = [&](int64_t& u, int64_t& v, uint8_t* p, bool tail) __attribute__((always_inline)) {
        if (alongRow) {
            // One texel per pixel along a texture row: read eight at a time as they lie.
            const uint8_t* tp = texels + (v >> kFracBits) * pitch + (u >> kFracBits) * 4;
            for (int64_t g = 0; g < groups; ++g, tp += 32, p += 32) {
                auto* q = reinterpret_cast<__m256i*>(p);
                _mm256_storeu_si256(
                    q, shade8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(tp)),
                              _mm256_loadu_si256(q)));
            }
            u += groups * 8 * kOne;
            if (tail && count % 8 != 0) {
                const __m256i lanes = _mm256_cmpgt_epi32(
                    _mm256_set1_epi32(static_cast<int>(count % 8)),
                    _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
                auto* q = reinterpret_cast<int*>(p);
                const __m256i raw =
                    _mm256_maskload_epi32(reinterpret_cast<const int*>(tp), lanes);
                _mm256_maskstore_epi32(q, lanes,
                                       shade8(raw, _mm256_maskload_epi32(q, lanes)));
                u += (count % 8) * kOne;
            }
            return;
        }
        // The texel under the pixel at (u, v), moving (u, v) on to the next pixel.
        auto texel = [&]() {
            int raw;
            std::memcpy(&raw, texels + (v >> kFracBits) * pitch + (u >> kFracBits) * 4, 4);
            u += du;
            v += dv;
            return raw;
        };
        for (int64_t g = 0; g < groups; ++g, p += 32) {
            // Put in the register lane by lane (a vector read of texels just stored one by
            // one would wait for the stores).
            const int t0 = texel(), t1 = texel(), t2 = texel(), t3 = texel();
            const int t4 = texel(), t5 = texel(), t6 = texel(), t7 = texel();
            auto* q = reinterpret_cast<__m256i*>(p);
            _mm256_storeu_si256(q, shade8(_mm256_setr_epi32(t0, t1, t2, t3, t4, t5, t6, t7),
                                          _mm256_loadu_si256(q)));
        }
        if (tail && count % 8 != 0) {
            const int rest = static_cast<int>(count % 8);
            alignas(32) int raw[8] = {};
            for (int i = 0; i < rest; ++i) raw[i] = texel();
            const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(rest),
                                                     _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
            auto* q = reinterpret_cast<int*>(p);
            _mm256_maskstore_epi32(
                q, lanes,
                shade8(_mm256_load_si256(reinterpret_cast<const __m256i*>(raw)),
                       _mm256_maskload_epi32(q, lanes)));
        }
    };
    // A span (rows 0): its whole groups, u and v moved past them. A rectangle: every row the
    // same columns, (u, v) moving by (rowDu, rowDv) from one to the next.
    const bool tail = rows != 0;
    const int64_t n = tail ? rows : 1;
    int64_t rowU = *uIo, rowV = *vIo;
    for (int64_t r = 0; r < n; ++r, rowU += rowDu, rowV += rowDv, p += targetPitch) {
        int64_t u = rowU, v = rowV;
        row(u, v, p, tail);
        if (!tail) {
            *uIo = u;
            *vIo = v;
        }
    }
    return tail ? count * rows : groups * 8;
}

template <bool kKey, bool kModulate, bool kTest>
int64_t BlendRun(const WideBlendInputs& in, int64_t* u, int64_t* v, int64_t du, int64_t dv,
                 uint8_t* p, int64_t count) {
    return BlendRows<kKey, kModulate, kTest>(in, u, v, du, dv, p, count, 0, 0, 0, 0);
}

template <bool kKey, bool kModulate, bool kTest>
void BlendRectangle(const WideBlendInputs& in, int64_t u, int64_t v, int64_t du, int64_t dv,
                    int64_t rowDu, int64_t rowDv, uint8_t* p, ptrdiff_t targetPitch,
                    int64_t count, int64_t rows) {
    BlendRows<kKey, kModulate, kTest>(in, &u, &v, du, dv, p, count, rows, rowDu, rowDv,
                                      targetPitch);
}

}  // namespace

WideBlendRun WideBlendRunFor(bool key, bool modulate, bool test) {
    if (!ProcessorHasWideRuns() || !D3DState().wideSpans) return nullptr;
    const int index = (key ? 4 : 0) | (modulate ? 2 : 0) | (test ? 1 : 0);
    static constexpr WideBlendRun kRuns[8] = {
        BlendRun<false, false, false>, BlendRun<false, false, true>,
        BlendRun<false, true, false>,  BlendRun<false, true, true>,
        BlendRun<true, false, false>,  BlendRun<true, false, true>,
        BlendRun<true, true, false>,   BlendRun<true, true, true>,
    };
    return kRuns[index];
}

WideBlendRectangle WideBlendRectangleFor(bool key, bool modulate, bool test) {
    if (!ProcessorHasWideRuns() || !D3DState().wideSpans) return nullptr;
    const int index = (key ? 4 : 0) | (modulate ? 2 : 0) | (test ? 1 : 0);
    static constexpr WideBlendRectangle kRectangles[8] = {
        BlendRectangle<false, false, false>, BlendRectangle<false, false, true>,
        BlendRectangle<false, true, false>,  BlendRectangle<false, true, true>,
        BlendRectangle<true, false, false>,  BlendRectangle<true, false, true>,
        BlendRectangle<true, true, false>,   BlendRectangle<true, true, true>,
    };
    return kRectangles[index];
}

}  // namespace plat::raster

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else  // no AVX2 build

namespace plat::raster {

WideBlendRun WideBlendRunFor(bool, bool, bool) { return nullptr; }
WideBlendRectangle WideBlendRectangleFor(bool, bool, bool) { return nullptr; }

}  // namespace plat::raster

#endif
