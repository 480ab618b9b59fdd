// Four-pixel SSE2 steps of the 32-bit pixel rules, for the walkers of kernels that step one
// source pixel per destination pixel. Each step gives exactly the results of ApplyRule32 and
// the loop's acceptance (pixel_draw.h); the walkers finish a row's last pixels one at a time.
//
// The channels are worked in 16-bit lanes (B, G, R, fourth per pixel, two pixels per
// register). Divisions by 255 use floor(x / 255) = (x + 1 + (x >> 8)) >> 8, exact for
// 0 <= x <= 65025; weighted sums with a product of two factors use the high and low halves of
// the 16 x 16-bit products, so every floor is that of the scalar rule.
#pragma once
#include <cstdint>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define ZN_SIMD_ROWS 1
#else
#define ZN_SIMD_ROWS 0
#endif

namespace simd_rows_32_detail {

constexpr int FactorCount(const PixelRule& r, bool withParam) {
    return (r.weight ? 1 : 0) + (r.alpha ? 1 : 0) + (withParam && r.param ? 1 : 0);
}

constexpr bool RuleSupported(const PixelRule& r) {
    switch (r.op) {
        case PixelOp::None:  // no opaque rule
        case PixelOp::CopyWhole:
        case PixelOp::CopyBright:
        case PixelOp::HalfAverage:
        case PixelOp::AddUnscaled:
        case PixelOp::SubtractUnscaled:
        case PixelOp::AddSaturate:
        case PixelOp::SubtractSaturate:
        case PixelOp::Add:
        case PixelOp::Subtract:
            return true;
        case PixelOp::Interpolate:
            return FactorCount(r, true) <= 2;
        case PixelOp::Multiply:
            return FactorCount(r, false) <= 2;
        default:
            return false;
    }
}

}  // namespace simd_rows_32_detail

// Whether SimdRow32 takes a loop.
template <PixelLoop L>
constexpr bool kSimdRow32 = ZN_SIMD_ROWS && L.format == 1 &&
                            simd_rows_32_detail::RuleSupported(L.rule) &&
                            simd_rows_32_detail::RuleSupported(L.opaque);

#if ZN_SIMD_ROWS

namespace simd_rows_32_detail {

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// floor(x / 255) per 16-bit lane, x <= 65025.
inline __m128i Div255(__m128i x) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)),
                          8);
}

// Per-pixel values (one per 32-bit lane, each < 65536) spread over the colour lanes of the
// low (pixels 0, 1) and high (pixels 2, 3) halves, 0 in each fourth-byte lane.
struct Lanes {
    __m128i lo, hi;
};
inline Lanes Spread(__m128i perPixel) {
    const __m128i both = _mm_or_si128(perPixel, _mm_slli_epi32(perPixel, 16));
    const __m128i colour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    return {_mm_and_si128(_mm_unpacklo_epi32(both, both), colour),
            _mm_and_si128(_mm_unpackhi_epi32(both, both), colour)};
}
inline Lanes Multiply(const Lanes& a, const Lanes& b) {
    return {_mm_mullo_epi16(a.lo, b.lo), _mm_mullo_epi16(a.hi, b.hi)};
}

// Unsigned 16-bit a < b as a lane mask.
inline __m128i LessU16(__m128i a, __m128i b) {
    const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
    return _mm_cmplt_epi16(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias));
}

// d + floor((b - d) * f / 65536) per lane, f < 65536: from the halves of the products.
inline __m128i Lerp16(__m128i d, __m128i b, __m128i f) {
    const __m128i hb = _mm_mulhi_epu16(b, f);
    const __m128i hd = _mm_mulhi_epu16(d, f);
    const __m128i borrow = LessU16(_mm_mullo_epi16(b, f), _mm_mullo_epi16(d, f));
    return _mm_add_epi16(_mm_sub_epi16(_mm_add_epi16(d, hb), hd), borrow);
}

// The per-call and per-group inputs of a rule.
struct Inputs {
    __m128i d, s;        // destination and source colours, one pixel per 32-bit lane
    __m128i alpha;       // source alpha per 32-bit lane (alpha sources)
    __m128i weight;      // blend weight per 32-bit lane (blend images)
    __m128i brightLanes; // bright bytes in the colour lanes
    __m128i paramLanes;  // p in the colour lanes
};

inline __m128i CarryMaskAdd(__m128i d, __m128i t) {
    const __m128i m = _mm_set1_epi32(0x00FEFEFF);
    const __m128i sum = _mm_add_epi32(_mm_and_si128(t, m), _mm_and_si128(d, m));
    const __m128i carries = _mm_and_si128(sum, _mm_set1_epi32(0x01010100));
    return _mm_or_si128(_mm_or_si128(sum, _mm_sub_epi32(carries, _mm_srli_epi32(carries, 8))),
                        _mm_and_si128(_mm_or_si128(d, t), _mm_set1_epi32(0x00010100)));
}
inline __m128i CarryMaskAddUnscaled(__m128i d, __m128i s) {
    const __m128i m = _mm_set1_epi32(0x00FEFEFF);
    const __m128i sum = _mm_add_epi32(_mm_and_si128(d, m), _mm_and_si128(s, m));
    const __m128i carries = _mm_and_si128(sum, _mm_set1_epi32(0x01010100));
    return _mm_or_si128(sum, _mm_sub_epi32(carries, _mm_srli_epi32(carries, 8)));
}
inline __m128i CarryMaskSub(__m128i d, __m128i t) {
    const __m128i diff = _mm_sub_epi32(_mm_or_si128(d, _mm_set1_epi32(0x01010100)),
                                       _mm_and_si128(t, _mm_set1_epi32(static_cast<int>(0xFEFEFEFFu))));
    const __m128i guards = _mm_and_si128(diff, _mm_set1_epi32(0x01010100));
    return _mm_and_si128(diff, _mm_sub_epi32(guards, _mm_srli_epi32(guards, 8)));
}

template <PixelRule R>
inline __m128i ApplyVec(const Inputs& in) {
    constexpr PixelOp op = R.op;
    if constexpr (op == PixelOp::CopyWhole) {
        return in.s;
    } else if constexpr (op == PixelOp::HalfAverage) {
        const __m128i m = _mm_set1_epi32(0x007F7F7F);
        return _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(in.s, 1), m),
                             _mm_and_si128(_mm_srli_epi32(in.d, 1), m));
    } else if constexpr (op == PixelOp::AddUnscaled) {
        return CarryMaskAddUnscaled(in.d, in.s);
    } else if constexpr (op == PixelOp::SubtractUnscaled) {
        return CarryMaskSub(in.d, _mm_and_si128(in.s, _mm_set1_epi32(0x00FEFEFF)));
    } else if constexpr (op == PixelOp::AddSaturate) {
        return _mm_adds_epu8(in.d, in.s);
    } else if constexpr (op == PixelOp::SubtractSaturate) {
        return _mm_subs_epu8(in.d, in.s);
    } else {
        const __m128i zero = _mm_setzero_si128();
        const __m128i colour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
        const __m128i fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        __m128i sLo = _mm_unpacklo_epi8(in.s, zero);
        __m128i sHi = _mm_unpackhi_epi8(in.s, zero);
        if constexpr (R.bright) {
            sLo = Div255(_mm_mullo_epi16(sLo, in.brightLanes));
            sHi = Div255(_mm_mullo_epi16(sHi, in.brightLanes));
        }
        const __m128i dLo = _mm_unpacklo_epi8(in.d, zero);
        const __m128i dHi = _mm_unpackhi_epi8(in.d, zero);

        if constexpr (op == PixelOp::CopyBright) {
            return Select(fourth, in.d, _mm_packus_epi16(sLo, sHi));
        } else if constexpr (op == PixelOp::Interpolate) {
            // The factors in the colour lanes; the fourth lanes get 0 and keep d.
            constexpr int n = FactorCount(R, true);
            Lanes f{in.paramLanes, in.paramLanes};
            bool have = R.param;
            if constexpr (R.weight) {
                const Lanes w = Spread(in.weight);
                f = have ? Multiply(f, w) : w;
                have = true;
            }
            if constexpr (R.alpha) {
                const Lanes a = Spread(in.alpha);
                f = have ? Multiply(f, a) : a;
            }
            __m128i rLo, rHi;
            if constexpr (n == 1) {
                // (d * (256 - f) + b * f) >> 8, every term below 65536.
                const __m128i k256 = _mm_set1_epi16(256);
                rLo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(dLo, _mm_sub_epi16(k256, f.lo)),
                                                   _mm_mullo_epi16(sLo, f.lo)),
                                     8);
                rHi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(dHi, _mm_sub_epi16(k256, f.hi)),
                                                   _mm_mullo_epi16(sHi, f.hi)),
                                     8);
            } else {
                static_assert(n == 2, "one or two factors");
                rLo = Lerp16(dLo, sLo, f.lo);
                rHi = Lerp16(dHi, sHi, f.hi);
            }
            return _mm_packus_epi16(rLo, rHi);
        } else if constexpr (op == PixelOp::Add || op == PixelOp::Subtract) {
            constexpr int others = (R.weight ? 1 : 0) + (R.alpha ? 1 : 0);
            __m128i tLo = sLo, tHi = sHi;
            if constexpr (others == 0 && R.param) {
                tLo = Div255(_mm_mullo_epi16(sLo, in.paramLanes));
                tHi = Div255(_mm_mullo_epi16(sHi, in.paramLanes));
            } else if constexpr (others > 0) {
                Lanes x{};
                if constexpr (R.weight && R.alpha) {
                    x = Multiply(Spread(in.weight), Spread(in.alpha));
                } else if constexpr (R.weight) {
                    x = Spread(in.weight);
                } else {
                    x = Spread(in.alpha);
                }
                if constexpr (!R.param) {
                    static_assert(others == 1, "a term of one factor without the parameter");
                    tLo = _mm_srli_epi16(_mm_mullo_epi16(sLo, x.lo), 8);
                    tHi = _mm_srli_epi16(_mm_mullo_epi16(sHi, x.hi), 8);
                } else if constexpr (others == 1) {
                    // floor(b * x * p / 65536)
                    const Lanes xp = Multiply(x, Lanes{in.paramLanes, in.paramLanes});
                    tLo = _mm_mulhi_epu16(sLo, xp.lo);
                    tHi = _mm_mulhi_epu16(sHi, xp.hi);
                } else {
                    // floor(b * w * a * p / 2^24) = floor(floor(b * w * (a * p) / 2^16) / 2^8)
                    const Lanes ap = Multiply(Spread(in.alpha), Lanes{in.paramLanes, in.paramLanes});
                    const Lanes w = Spread(in.weight);
                    tLo = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(sLo, w.lo), ap.lo), 8);
                    tHi = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(sHi, w.hi), ap.hi), 8);
                }
            }
            const __m128i t = _mm_packus_epi16(_mm_and_si128(tLo, colour), _mm_and_si128(tHi, colour));
            if constexpr (op == PixelOp::Add) {
                return CarryMaskAdd(in.d, t);
            } else {
                return CarryMaskSub(in.d, t);
            }
        } else if constexpr (op == PixelOp::Multiply) {
            constexpr int n = FactorCount(R, false);
            __m128i pLo = _mm_mullo_epi16(dLo, sLo);  // d * b <= 65025
            __m128i pHi = _mm_mullo_epi16(dHi, sHi);
            if constexpr (n == 0) {
                pLo = _mm_srli_epi16(pLo, 8);
                pHi = _mm_srli_epi16(pHi, 8);
            } else {
                Lanes f{};
                if constexpr (R.weight && R.alpha) {
                    f = Multiply(Spread(in.weight), Spread(in.alpha));
                } else if constexpr (R.weight) {
                    f = Spread(in.weight);
                } else {
                    f = Spread(in.alpha);
                }
                pLo = _mm_mulhi_epu16(pLo, f.lo);
                pHi = _mm_mulhi_epu16(pHi, f.hi);
                if constexpr (n == 2) {
                    pLo = _mm_srli_epi16(pLo, 8);
                    pHi = _mm_srli_epi16(pHi, 8);
                }
            }
            return Select(fourth, in.d, _mm_packus_epi16(pLo, pHi));
        } else {
            static_assert(op == PixelOp::Multiply, "unsupported rule");
            return in.d;
        }
    }
}

}  // namespace simd_rows_32_detail

// Draws the first (n / 4) * 4 pixels of a row of a 32-bit loop and returns how many it drew.
// src is the row's first source pixel (1 byte per paletted pixel, else 4), blend the row's
// first blend byte (loops with a weight only).
template <PixelLoop L>
inline int32_t SimdRow32(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int32_t n,
                         const PixelContext& c) {
    using namespace simd_rows_32_detail;
    static_assert(kSimdRow32<L>, "no four-pixel step for this loop");
    constexpr bool kPaletted = L.source == SourceKind::Paletted;
    constexpr bool kAlpha = L.source == SourceKind::DirectAlpha;
    constexpr bool kWeighted = LoopUsesWeight(L);
    Inputs in;
    in.alpha = _mm_setzero_si128();
    in.weight = _mm_setzero_si128();
    const short brB = static_cast<short>(c.bright & 0xFF);
    const short brG = static_cast<short>((c.bright >> 8) & 0xFF);
    const short brR = static_cast<short>((c.bright >> 16) & 0xFF);
    in.brightLanes = _mm_set_epi16(0, brR, brG, brB, 0, brR, brG, brB);
    const short p = static_cast<short>(c.param);
    in.paramLanes = _mm_set_epi16(0, p, p, p, 0, p, p, p);
    const __m128i key = _mm_set1_epi32(static_cast<int>(c.colorKey));
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaqueAlpha = _mm_set1_epi32(255);

    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint8_t* d = dst + i * 4;
        in.d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        __m128i keyValue;
        if constexpr (kPaletted) {
            const uint8_t* s = src + i;
            keyValue = _mm_setr_epi32(s[0], s[1], s[2], s[3]);
            if constexpr (L.accept == Acceptance::KeyWhole) {
                if (_mm_movemask_epi8(_mm_cmpeq_epi32(keyValue, key)) == 0xFFFF) continue;
            }
            in.s = _mm_setr_epi32(static_cast<int>(c.palette32[s[0]]),
                                  static_cast<int>(c.palette32[s[1]]),
                                  static_cast<int>(c.palette32[s[2]]),
                                  static_cast<int>(c.palette32[s[3]]));
        } else {
            in.s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
            keyValue = in.s;
        }
        if constexpr (kAlpha) in.alpha = _mm_srli_epi32(in.s, 24);
        if constexpr (kWeighted) {
            const uint8_t* b = blend + i;
            in.weight = _mm_setr_epi32(BlendWeightMap[b[0]], BlendWeightMap[b[1]],
                                       BlendWeightMap[b[2]], BlendWeightMap[b[3]]);
        }
        // Sprites come in runs of left-out and of opaque pixels: such groups of four are
        // settled without the arithmetic.
        __m128i r;
        if constexpr (L.accept == Acceptance::KeyWhole) {
            const __m128i keyed = _mm_cmpeq_epi32(keyValue, key);
            if (_mm_movemask_epi8(keyed) == 0xFFFF) continue;
            r = Select(keyed, in.d, ApplyVec<L.rule>(in));
        } else if constexpr (L.accept == Acceptance::AlphaSkipZero ||
                             L.accept == Acceptance::AlphaKeepZero) {
            const __m128i opaque = _mm_cmpeq_epi32(in.alpha, opaqueAlpha);
            const __m128i clear = _mm_cmpeq_epi32(in.alpha, zero);
            if (L.accept == Acceptance::AlphaSkipZero && _mm_movemask_epi8(clear) == 0xFFFF) continue;
            if (_mm_movemask_epi8(opaque) == 0xFFFF) {
                r = ApplyVec<L.opaque>(in);
            } else {
                r = Select(opaque, ApplyVec<L.opaque>(in), ApplyVec<L.rule>(in));
                if constexpr (L.accept == Acceptance::AlphaSkipZero) r = Select(clear, in.d, r);
            }
        } else {
            static_assert(L.accept == Acceptance::All, "acceptance of 32-bit loops");
            // An interpolation weighted by an alpha of 0 leaves the destination as it is.
            if constexpr (L.rule.op == PixelOp::Interpolate && L.rule.alpha) {
                if (_mm_movemask_epi8(_mm_cmpeq_epi32(in.alpha, zero)) == 0xFFFF) continue;
            }
            r = ApplyVec<L.rule>(in);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
    }
    return i;
}

#else

template <PixelLoop L>
inline int32_t SimdRow32(uint8_t*, const uint8_t*, const uint8_t*, int32_t, const PixelContext&) {
    return 0;
}

#endif
