// Eight-pixel SSE2 steps of the 16-bit 5-6-5 pixel rules, for the walkers of kernels that step
// one source pixel per destination pixel. Each step gives exactly the results of ApplyRule16
// and the loop's acceptance (pixel_draw.h); the walkers finish a row's last pixels.
//
// One 16-bit lane per pixel; the channels are taken apart into lanes of their own values.
// floor(x / 255) = (x + 1 + (x >> 8)) >> 8 (x <= 65025) and floor(x / 63) = (x * 2081) >> 17
// (x <= 3969) replace the table lookups; both are exact over those ranges.
#pragma once
#include <cstdint>
#include <cstring>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/simd_rows_32.h"

namespace simd_rows_565_detail {

constexpr int OtherFactors(const PixelRule& r) { return (r.weight ? 1 : 0) + (r.alpha ? 1 : 0); }

constexpr bool RuleSupported(const PixelRule& r) {
    switch (r.op) {
        case PixelOp::None:
        case PixelOp::CopyWhole:
        case PixelOp::CopyBright:
        case PixelOp::HalfAverage:
        case PixelOp::BlendTable565:
        case PixelOp::DifferenceStep:
        case PixelOp::Add:
        case PixelOp::Subtract:
            return true;
        case PixelOp::Interpolate:
            return OtherFactors(r) + (r.param ? 1 : 0) <= 2;
        case PixelOp::Multiply:
            return OtherFactors(r) <= 2;
        default:
            return false;  // the pair steps are the walker's
    }
}

}  // namespace simd_rows_565_detail

// Whether SimdRow565 takes a loop.
template <PixelLoop L>
constexpr bool kSimdRow565 = ZN_SIMD_ROWS && L.format == 0 &&
                             simd_rows_565_detail::RuleSupported(L.rule) &&
                             simd_rows_565_detail::RuleSupported(L.opaque);

#if ZN_SIMD_ROWS

namespace simd_rows_565_detail {

using simd_rows_32_detail::Div255;
using simd_rows_32_detail::Lerp16;
using simd_rows_32_detail::LessU16;
using simd_rows_32_detail::Select;

struct Fields {
    __m128i r, g, b;
};
inline Fields Split(__m128i v) {
    return {_mm_srli_epi16(v, 11), _mm_and_si128(_mm_srli_epi16(v, 5), _mm_set1_epi16(0x3F)),
            _mm_and_si128(v, _mm_set1_epi16(0x1F))};
}
inline __m128i Join(const Fields& f) {
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(f.r, 11), _mm_slli_epi16(f.g, 5)), f.b);
}
inline __m128i At(const Fields& f, int i) { return i == 0 ? f.r : i == 1 ? f.g : f.b; }
template <typename Fn>
inline Fields Each(const Fields& a, Fn fn) {
    return {fn(a.r, 0), fn(a.g, 1), fn(a.b, 2)};
}

struct Inputs {
    __m128i d, s;    // destination and source colours
    __m128i alpha;   // per pixel (alpha sources)
    __m128i weight;  // per pixel (blend images)
    __m128i bright[3];  // red, green and blue bright bytes
    __m128i param;
};

inline __m128i SaturatingAdd(__m128i d, __m128i e) {
    const __m128i m = _mm_set1_epi16(static_cast<short>(0xF7DF));
    const __m128i a = _mm_and_si128(d, m);
    const __m128i t = _mm_add_epi16(a, _mm_and_si128(e, m));
    const __m128i redCarry = _mm_and_si128(LessU16(t, a), _mm_set1_epi16(static_cast<short>(0xF800)));
    const __m128i c = _mm_and_si128(t, _mm_set1_epi16(0x0820));
    return _mm_or_si128(_mm_or_si128(t, _mm_or_si128(_mm_sub_epi16(c, _mm_srli_epi16(c, 5)), redCarry)),
                        _mm_and_si128(_mm_or_si128(d, e), _mm_set1_epi16(0x0820)));
}
inline __m128i SaturatingSub(__m128i d, __m128i e) {
    const __m128i a = _mm_or_si128(d, _mm_set1_epi16(0x0820));
    const __m128i b = _mm_and_si128(e, _mm_set1_epi16(static_cast<short>(0xF7DF)));
    const __m128i u = _mm_sub_epi16(a, b);
    const __m128i redKept = _mm_andnot_si128(LessU16(a, b), _mm_set1_epi16(static_cast<short>(0xF800)));
    const __m128i c = _mm_and_si128(u, _mm_set1_epi16(0x0820));
    return _mm_and_si128(u, _mm_or_si128(_mm_sub_epi16(c, _mm_srli_epi16(c, 5)), redKept));
}

template <PixelRule R>
inline __m128i ApplyVec(const Inputs& in) {
    constexpr PixelOp op = R.op;
    if constexpr (op == PixelOp::CopyWhole) {
        return in.s;
    } else if constexpr (op == PixelOp::HalfAverage) {
        const __m128i m = _mm_set1_epi16(0x7BEF);
        return _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(in.s, 1), m),
                             _mm_and_si128(_mm_srli_epi16(in.d, 1), m));
    } else {
        const Fields raw = Split(in.s);
        Fields s = raw;
        if constexpr (R.bright) {
            s = Each(raw, [&](__m128i f, int i) { return Div255(_mm_mullo_epi16(f, in.bright[i])); });
        }
        const Fields d = Split(in.d);
        if constexpr (op == PixelOp::CopyBright) {
            return Join(s);
        } else if constexpr (op == PixelOp::Interpolate) {
            constexpr int n = OtherFactors(R) + (R.param ? 1 : 0);
            __m128i f = in.param;
            bool have = R.param;
            if constexpr (R.weight) {
                f = have ? _mm_mullo_epi16(f, in.weight) : in.weight;
                have = true;
            }
            if constexpr (R.alpha) f = have ? _mm_mullo_epi16(f, in.alpha) : in.alpha;
            if constexpr (n == 1) {
                const __m128i g = _mm_sub_epi16(_mm_set1_epi16(256), f);
                return Join(Each(s, [&](__m128i sv, int i) {
                    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(At(d, i), g), _mm_mullo_epi16(sv, f)), 8);
                }));
            } else {
                static_assert(n == 2, "one or two factors");
                return Join(Each(s, [&](__m128i sv, int i) { return Lerp16(At(d, i), sv, f); }));
            }
        } else if constexpr (op == PixelOp::BlendTable565) {
            // floor((s * o + d * (63 - o)) / 63), o = p >> 2
            const __m128i o = _mm_srli_epi16(in.param, 2);
            const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(63), o);
            const __m128i k = _mm_set1_epi16(2081);
            return Join(Each(s, [&](__m128i sv, int i) {
                const __m128i x = _mm_add_epi16(_mm_mullo_epi16(sv, o), _mm_mullo_epi16(At(d, i), rest));
                return _mm_srli_epi16(_mm_mulhi_epu16(x, k), 1);
            }));
        } else if constexpr (op == PixelOp::DifferenceStep) {
            // d + trunc((s - d) * p / 255)
            return Join(Each(s, [&](__m128i sv, int i) {
                const __m128i x = _mm_mullo_epi16(_mm_sub_epi16(sv, At(d, i)), in.param);
                const __m128i sign = _mm_srai_epi16(x, 15);
                const __m128i q = Div255(_mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)));
                return _mm_add_epi16(At(d, i), _mm_sub_epi16(_mm_xor_si128(q, sign), sign));
            }));
        } else if constexpr (op == PixelOp::Add || op == PixelOp::Subtract) {
            Fields t = s;
            if constexpr (R.alphaBeforeBright) {
                t = Each(raw, [&](__m128i f, int i) {
                    return Div255(_mm_mullo_epi16(_mm_srli_epi16(_mm_mullo_epi16(f, in.alpha), 8), in.bright[i]));
                });
            } else if constexpr (OtherFactors(R) == 1) {
                const __m128i x = R.weight ? in.weight : in.alpha;
                t = Each(s, [&](__m128i f, int) { return _mm_srli_epi16(_mm_mullo_epi16(f, x), 8); });
            } else if constexpr (OtherFactors(R) == 2) {
                const __m128i x = _mm_mullo_epi16(in.weight, in.alpha);
                t = Each(s, [&](__m128i f, int) { return _mm_mulhi_epu16(f, x); });
            }
            if constexpr (R.param) {
                t = Each(t, [&](__m128i f, int) { return Div255(_mm_mullo_epi16(f, in.param)); });
            }
            if constexpr (op == PixelOp::Add) {
                return SaturatingAdd(in.d, Join(t));
            } else {
                return SaturatingSub(in.d, Join(t));
            }
        } else if constexpr (op == PixelOp::Multiply) {
            constexpr int n = OtherFactors(R);
            __m128i f = in.weight;
            if constexpr (R.weight && R.alpha) {
                f = _mm_mullo_epi16(in.weight, in.alpha);
            } else if constexpr (R.alpha) {
                f = in.alpha;
            }
            const Fields x = Each(s, [&](__m128i sv, int i) { return _mm_mullo_epi16(sv, At(d, i)); });
            // Channel widths 5, 6, 5: shift counts per field.
            auto shifted = [&](__m128i v, int i) {
                const int width = i == 1 ? 6 : 5;
                if constexpr (n == 0) {
                    return _mm_srl_epi16(v, _mm_cvtsi32_si128(width));
                } else if constexpr (n == 1) {
                    // floor(v * f / 2^(width + 8)) from the 32-bit product's halves.
                    const __m128i lo = _mm_mullo_epi16(v, f);
                    const __m128i hi = _mm_mulhi_epu16(v, f);
                    return _mm_or_si128(_mm_sll_epi16(hi, _mm_cvtsi32_si128(16 - (width + 8))),
                                        _mm_srl_epi16(lo, _mm_cvtsi32_si128(width + 8)));
                } else {
                    return _mm_srl_epi16(_mm_mulhi_epu16(v, f), _mm_cvtsi32_si128(width));
                }
            };
            return Join(Each(x, shifted));
        } else {
            static_assert(op == PixelOp::Multiply, "unsupported rule");
            return in.d;
        }
    }
}

}  // namespace simd_rows_565_detail

// Draws the first (n / 8) * 8 pixels of a row of a 16-bit loop and returns how many it drew.
template <PixelLoop L>
inline int32_t SimdRow565(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int32_t n,
                          const PixelContext& c) {
    using namespace simd_rows_565_detail;
    static_assert(kSimdRow565<L>, "no eight-pixel step for this loop");
    constexpr bool kPaletted = L.source == SourceKind::Paletted;
    constexpr bool kAlpha = L.source == SourceKind::DirectAlpha;
    constexpr bool kWeighted = LoopUsesWeight(L);
    Inputs in;
    in.alpha = _mm_setzero_si128();
    in.weight = _mm_setzero_si128();
    in.bright[0] = _mm_set1_epi16(static_cast<short>((c.bright >> 16) & 0xFF));
    in.bright[1] = _mm_set1_epi16(static_cast<short>((c.bright >> 8) & 0xFF));
    in.bright[2] = _mm_set1_epi16(static_cast<short>(c.bright & 0xFF));
    in.param = _mm_set1_epi16(static_cast<short>(c.param));
    // A key that no pixel value can equal compares with nothing.
    const uint32_t keyLimit = kPaletted ? 0xFFu : 0xFFFFu;
    const uint32_t keyBits = L.accept == Acceptance::KeyLow16 ? (c.colorKey & 0xFFFFu) : c.colorKey;
    const bool keyCanMatch = keyBits <= keyLimit;
    const __m128i key = _mm_set1_epi16(static_cast<short>(keyBits & 0xFFFFu));
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaqueAlpha = _mm_set1_epi16(255);

    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint8_t* d = dst + i * 2;
        in.d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        __m128i keyValue;
        if constexpr (kPaletted) {
            const uint8_t* s = src + i;
            const uint16_t* pal = c.palette16;
            in.s = _mm_setr_epi16(static_cast<short>(pal[s[0]]), static_cast<short>(pal[s[1]]),
                                  static_cast<short>(pal[s[2]]), static_cast<short>(pal[s[3]]),
                                  static_cast<short>(pal[s[4]]), static_cast<short>(pal[s[5]]),
                                  static_cast<short>(pal[s[6]]), static_cast<short>(pal[s[7]]));
            keyValue = _mm_setr_epi16(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
        } else if constexpr (kAlpha) {
            const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
            const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4 + 16));
            // Colour: the low 16 bits of each 4-byte pixel, sign-extended so that the signed
            // pack keeps the bits; alpha: byte 2.
            in.s = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(p0, 16), 16),
                                   _mm_srai_epi32(_mm_slli_epi32(p1, 16), 16));
            const __m128i byte = _mm_set1_epi32(0xFF);
            in.alpha = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 16), byte),
                                       _mm_and_si128(_mm_srli_epi32(p1, 16), byte));
            keyValue = in.s;
        } else {
            in.s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 2));
            keyValue = in.s;
        }
        if constexpr (kWeighted) {
            const uint8_t* b = blend + i;
            in.weight = _mm_setr_epi16(BlendWeightMap[b[0]], BlendWeightMap[b[1]],
                                       BlendWeightMap[b[2]], BlendWeightMap[b[3]],
                                       BlendWeightMap[b[4]], BlendWeightMap[b[5]],
                                       BlendWeightMap[b[6]], BlendWeightMap[b[7]]);
        }
        // Groups of eight left-out or opaque pixels are settled without the arithmetic.
        __m128i r;
        if constexpr (L.accept == Acceptance::KeyWhole || L.accept == Acceptance::KeyLow16) {
            r = ApplyVec<L.rule>(in);
            if (keyCanMatch) {
                const __m128i keyed = _mm_cmpeq_epi16(keyValue, key);
                if (_mm_movemask_epi8(keyed) == 0xFFFF) continue;
                r = Select(keyed, in.d, r);
            }
        } else if constexpr (L.accept == Acceptance::AlphaSkipZero ||
                             L.accept == Acceptance::AlphaKeepZero) {
            const __m128i opaque = _mm_cmpeq_epi16(in.alpha, opaqueAlpha);
            const __m128i clear = _mm_cmpeq_epi16(in.alpha, zero);
            if (L.accept == Acceptance::AlphaSkipZero && _mm_movemask_epi8(clear) == 0xFFFF) continue;
            if (_mm_movemask_epi8(opaque) == 0xFFFF) {
                r = ApplyVec<L.opaque>(in);
            } else {
                r = Select(opaque, ApplyVec<L.opaque>(in), ApplyVec<L.rule>(in));
                if constexpr (L.accept == Acceptance::AlphaSkipZero) r = Select(clear, in.d, r);
            }
        } else {
            // An interpolation weighted by an alpha of 0 leaves the destination as it is.
            if constexpr (L.rule.op == PixelOp::Interpolate && L.rule.alpha) {
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(in.alpha, zero)) == 0xFFFF) continue;
            }
            r = ApplyVec<L.rule>(in);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
    }
    return i;
}

// The 16-bit unscaled add and subtract: four pixel pairs per step, each pair one 32-bit word
// (SaturatingAddPair565, SaturatingSubPair565). Returns the pixels drawn, a multiple of 8, so
// the pairs of the rest of the row keep their places.
template <bool Add>
inline int32_t SimdPairRow565(uint8_t* dst, const uint8_t* src, int32_t n) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(0xF7DEF7DFu));
    const __m128i guards = _mm_set1_epi32(0x08210820);
    const __m128i bias = _mm_set1_epi32(static_cast<int>(0x80000000u));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i * 2));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 2));
        __m128i r;
        if constexpr (Add) {
            const __m128i a = _mm_and_si128(d, mask);
            const __m128i t = _mm_add_epi32(a, _mm_and_si128(s, mask));
            const __m128i carry = _mm_cmplt_epi32(_mm_xor_si128(t, bias), _mm_xor_si128(a, bias));
            const __m128i q = _mm_and_si128(t, guards);
            r = _mm_or_si128(t, _mm_sub_epi32(q, _mm_or_si128(_mm_srli_epi32(q, 5),
                                                             _mm_and_si128(carry, _mm_set1_epi32(0x08000000)))));
        } else {
            const __m128i a = _mm_or_si128(d, guards);
            const __m128i b = _mm_and_si128(s, mask);
            const __m128i u = _mm_sub_epi32(a, b);
            const __m128i borrow = _mm_cmplt_epi32(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias));
            const __m128i q = _mm_and_si128(u, guards);
            r = _mm_and_si128(u, _mm_or_si128(_mm_sub_epi32(q, _mm_srli_epi32(q, 5)),
                                              _mm_andnot_si128(borrow, _mm_set1_epi32(static_cast<int>(0xF8000000u)))));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 2), r);
    }
    return i;
}

#else

template <PixelLoop L>
inline int32_t SimdRow565(uint8_t*, const uint8_t*, const uint8_t*, int32_t, const PixelContext&) {
    return 0;
}
template <bool Add>
inline int32_t SimdPairRow565(uint8_t*, const uint8_t*, int32_t) {
    return 0;
}

#endif
