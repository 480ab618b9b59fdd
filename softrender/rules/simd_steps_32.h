// The steps of the 32-bit pixel rules over a register of pixels, written once for every
// register width (SimdLanes128 four pixels, SimdLanes256 eight). Each step gives exactly the
// results of ApplyRule32 and the loop's acceptance (pixel_draw.h); the walkers finish a row's
// last pixels.
//
// The channels are worked in 16-bit lanes (B, G, R, fourth per pixel). A ProductTable row p is
// the product with a per-call multiplier: floor(v * p / 255) = (v * M) >> 16 for
// M = ceil(p * 65536 / 255) and every v <= 255 when p < 255 (the error of M stays below
// 1 / 255 over v * p / 255); row 255 is v itself, taken with M = 0 and v added. Weighted sums
// with a product of two factors use the high and low halves of the 16 x 16-bit products, so
// every floor is that of the scalar rule.
//
// Every function here is a template over the register width, so that a translation unit
// compiled for a wider instruction set instantiates only its own width.
#pragma once
#include <cstdint>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"

namespace simd_steps_32 {

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

// Whether the steps take a loop.
template <PixelLoop L>
constexpr bool kLoopSupported = L.format == 1 && RuleSupported(L.rule) && RuleSupported(L.opaque);

// The multiplier of ProductTable row p (0 for row 255, which adds the value itself).
constexpr uint16_t ProductMultiplier(uint32_t p) {
    return p >= 255 ? uint16_t{0} : static_cast<uint16_t>((p * 65536u + 254u) / 255u);
}

// Four 16-bit lanes (B, G, R, fourth) of one pixel as a 64-bit pattern.
constexpr uint64_t PixelLanes(uint16_t b, uint16_t g, uint16_t r, uint16_t fourth) {
    return uint64_t{b} | uint64_t{g} << 16 | uint64_t{r} << 32 | uint64_t{fourth} << 48;
}

// ProductTable rows per colour lane, as multipliers and the mask of the lanes whose row is 255.
template <class S>
struct ProductLanes {
    typename S::V multiplier, whole;
};

template <class S>
ProductLanes<S> MakeProductLanes(uint32_t rowB, uint32_t rowG, uint32_t rowR) {
    auto whole = [](uint32_t p) -> uint16_t { return p >= 255 ? 0xFFFF : 0; };
    return {S::Repeat64(PixelLanes(ProductMultiplier(rowB), ProductMultiplier(rowG),
                                   ProductMultiplier(rowR), 0)),
            S::Repeat64(PixelLanes(whole(rowB), whole(rowG), whole(rowR), 0))};
}

// ProductTable[row][v] per colour lane (v <= 255); 0 in the fourth lanes.
template <class S>
typename S::V ProductRow(typename S::V v, const ProductLanes<S>& rows) {
    return S::Add16(S::MulHiU16(v, rows.multiplier), S::And(v, rows.whole));
}

template <class S>
typename S::V Select(typename S::V mask, typename S::V ifSet, typename S::V ifClear) {
    return S::Or(S::And(mask, ifSet), S::AndNot(mask, ifClear));
}

// Per-pixel values (one per 32-bit lane, each < 65536) spread over the colour lanes of the low
// and high unpacked registers, 0 in each fourth lane.
template <class S>
struct Lanes {
    typename S::V lo, hi;
};
template <class S>
Lanes<S> Spread(typename S::V perPixel) {
    const typename S::V both = S::Or(perPixel, S::template ShiftLeft32<16>(perPixel));
    const typename S::V colour = S::Repeat64(PixelLanes(0xFFFF, 0xFFFF, 0xFFFF, 0));
    return {S::And(S::UnpackLo32(both, both), colour), S::And(S::UnpackHi32(both, both), colour)};
}
template <class S>
Lanes<S> Multiply(const Lanes<S>& a, const Lanes<S>& b) {
    return {S::MulLo16(a.lo, b.lo), S::MulLo16(a.hi, b.hi)};
}

// Unsigned 16-bit a < b as a lane mask.
template <class S>
typename S::V LessU16(typename S::V a, typename S::V b) {
    const typename S::V bias = S::Set16(0x8000);
    return S::LessS16(S::Xor(a, bias), S::Xor(b, bias));
}

// d + floor((b - d) * f / 65536) per lane, f < 65536: from the halves of the products.
template <class S>
typename S::V Lerp16(typename S::V d, typename S::V b, typename S::V f) {
    const typename S::V hb = S::MulHiU16(b, f);
    const typename S::V hd = S::MulHiU16(d, f);
    const typename S::V borrow = LessU16<S>(S::MulLo16(b, f), S::MulLo16(d, f));
    return S::Add16(S::Sub16(S::Add16(d, hb), hd), borrow);
}

// The per-call and per-group inputs of a rule.
template <class S>
struct Inputs {
    typename S::V d, s;         // destination and source colours, one pixel per 32-bit lane
    typename S::V alpha;        // source alpha per 32-bit lane (alpha sources)
    Lanes<S> weight;            // blend weight in the colour lanes (blend images)
    ProductLanes<S> bright;     // the bright's rows in the colour lanes
    ProductLanes<S> paramRow;   // ProductTable[p] in the colour lanes
    typename S::V paramLanes;   // p in the colour lanes
};

template <class S>
typename S::V CarryMaskAdd(typename S::V d, typename S::V t) {
    const typename S::V m = S::Set32(0x00FEFEFF);
    const typename S::V sum = S::Add32(S::And(t, m), S::And(d, m));
    const typename S::V carries = S::And(sum, S::Set32(0x01010100));
    return S::Or(S::Or(sum, S::Sub32(carries, S::template ShiftRight32<8>(carries))),
                 S::And(S::Or(d, t), S::Set32(0x00010100)));
}
template <class S>
typename S::V CarryMaskAddUnscaled(typename S::V d, typename S::V s) {
    const typename S::V m = S::Set32(0x00FEFEFF);
    const typename S::V sum = S::Add32(S::And(d, m), S::And(s, m));
    const typename S::V carries = S::And(sum, S::Set32(0x01010100));
    return S::Or(sum, S::Sub32(carries, S::template ShiftRight32<8>(carries)));
}
template <class S>
typename S::V CarryMaskSub(typename S::V d, typename S::V t) {
    const typename S::V diff =
        S::Sub32(S::Or(d, S::Set32(0x01010100)), S::And(t, S::Set32(0xFEFEFEFFu)));
    const typename S::V guards = S::And(diff, S::Set32(0x01010100));
    return S::And(diff, S::Sub32(guards, S::template ShiftRight32<8>(guards)));
}

template <class S, PixelRule R>
typename S::V ApplyVec(const Inputs<S>& in) {
    using V = typename S::V;
    constexpr PixelOp op = R.op;
    if constexpr (op == PixelOp::CopyWhole) {
        return in.s;
    } else if constexpr (op == PixelOp::HalfAverage) {
        const V m = S::Set32(0x007F7F7F);
        return S::Add32(S::And(S::template ShiftRight32<1>(in.s), m),
                        S::And(S::template ShiftRight32<1>(in.d), m));
    } else if constexpr (op == PixelOp::AddUnscaled) {
        return CarryMaskAddUnscaled<S>(in.d, in.s);
    } else if constexpr (op == PixelOp::SubtractUnscaled) {
        return CarryMaskSub<S>(in.d, S::And(in.s, S::Set32(0x00FEFEFF)));
    } else if constexpr (op == PixelOp::AddSaturate) {
        return S::AddSatU8(in.d, in.s);
    } else if constexpr (op == PixelOp::SubtractSaturate) {
        return S::SubSatU8(in.d, in.s);
    } else {
        const V zero = S::Zero();
        const V fourth = S::Set32(0xFF000000u);
        V sLo = S::UnpackLo8(in.s, zero);
        V sHi = S::UnpackHi8(in.s, zero);
        if constexpr (R.bright) {
            // The fourth lanes become 0.
            sLo = ProductRow<S>(sLo, in.bright);
            sHi = ProductRow<S>(sHi, in.bright);
        }

        if constexpr (op == PixelOp::CopyBright) {
            return Select<S>(fourth, in.d, S::PackU16(sLo, sHi));
        } else if constexpr (op == PixelOp::Interpolate) {
            const V dLo = S::UnpackLo8(in.d, zero);
            const V dHi = S::UnpackHi8(in.d, zero);
            // The factors in the colour lanes; the fourth lanes get 0 and keep d.
            constexpr int n = FactorCount(R, true);
            Lanes<S> f{in.paramLanes, in.paramLanes};
            bool have = R.param;
            if constexpr (R.weight) {
                const Lanes<S> w = in.weight;
                f = have ? Multiply<S>(f, w) : w;
                have = true;
            }
            if constexpr (R.alpha) {
                const Lanes<S> a = Spread<S>(in.alpha);
                f = have ? Multiply<S>(f, a) : a;
            }
            V rLo, rHi;
            if constexpr (n == 1) {
                // (d * (256 - f) + b * f) >> 8, every term below 65536.
                const V k256 = S::Set16(256);
                rLo = S::template ShiftRight16<8>(
                    S::Add16(S::MulLo16(dLo, S::Sub16(k256, f.lo)), S::MulLo16(sLo, f.lo)));
                rHi = S::template ShiftRight16<8>(
                    S::Add16(S::MulLo16(dHi, S::Sub16(k256, f.hi)), S::MulLo16(sHi, f.hi)));
            } else {
                static_assert(n == 2, "one or two factors");
                rLo = Lerp16<S>(dLo, sLo, f.lo);
                rHi = Lerp16<S>(dHi, sHi, f.hi);
            }
            return S::PackU16(rLo, rHi);
        } else if constexpr (op == PixelOp::Add || op == PixelOp::Subtract) {
            constexpr int others = (R.weight ? 1 : 0) + (R.alpha ? 1 : 0);
            V tLo = sLo, tHi = sHi;
            bool colourOnly = R.bright;  // the fourth lanes are 0 already
            if constexpr (others == 0 && R.param) {
                tLo = ProductRow<S>(sLo, in.paramRow);
                tHi = ProductRow<S>(sHi, in.paramRow);
                colourOnly = true;
            } else if constexpr (others > 0) {
                Lanes<S> x{};
                if constexpr (R.weight && R.alpha) {
                    x = Multiply<S>(in.weight, Spread<S>(in.alpha));
                } else if constexpr (R.weight) {
                    x = in.weight;
                } else {
                    x = Spread<S>(in.alpha);
                }
                if constexpr (!R.param) {
                    static_assert(others == 1, "a term of one factor without the parameter");
                    tLo = S::template ShiftRight16<8>(S::MulLo16(sLo, x.lo));
                    tHi = S::template ShiftRight16<8>(S::MulLo16(sHi, x.hi));
                } else if constexpr (others == 1) {
                    // floor(b * x * p / 65536)
                    const Lanes<S> xp = Multiply<S>(x, Lanes<S>{in.paramLanes, in.paramLanes});
                    tLo = S::MulHiU16(sLo, xp.lo);
                    tHi = S::MulHiU16(sHi, xp.hi);
                } else {
                    // floor(b * w * a * p / 2^24) = floor(floor(b * w * (a * p) / 2^16) / 2^8)
                    const Lanes<S> ap =
                        Multiply<S>(Spread<S>(in.alpha), Lanes<S>{in.paramLanes, in.paramLanes});
                    const Lanes<S> w = in.weight;
                    tLo = S::template ShiftRight16<8>(S::MulHiU16(S::MulLo16(sLo, w.lo), ap.lo));
                    tHi = S::template ShiftRight16<8>(S::MulHiU16(S::MulLo16(sHi, w.hi), ap.hi));
                }
                colourOnly = true;  // the factors are 0 in the fourth lanes
            }
            V t;
            if (colourOnly) {
                t = S::PackU16(tLo, tHi);
            } else {
                const V colour = S::Repeat64(PixelLanes(0xFFFF, 0xFFFF, 0xFFFF, 0));
                t = S::PackU16(S::And(tLo, colour), S::And(tHi, colour));
            }
            if constexpr (op == PixelOp::Add) {
                return CarryMaskAdd<S>(in.d, t);
            } else {
                return CarryMaskSub<S>(in.d, t);
            }
        } else if constexpr (op == PixelOp::Multiply) {
            const V dLo = S::UnpackLo8(in.d, zero);
            const V dHi = S::UnpackHi8(in.d, zero);
            constexpr int n = FactorCount(R, false);
            V pLo = S::MulLo16(dLo, sLo);  // d * b <= 65025
            V pHi = S::MulLo16(dHi, sHi);
            if constexpr (n == 0) {
                pLo = S::template ShiftRight16<8>(pLo);
                pHi = S::template ShiftRight16<8>(pHi);
            } else {
                Lanes<S> f{};
                if constexpr (R.weight && R.alpha) {
                    f = Multiply<S>(in.weight, Spread<S>(in.alpha));
                } else if constexpr (R.weight) {
                    f = in.weight;
                } else {
                    f = Spread<S>(in.alpha);
                }
                pLo = S::MulHiU16(pLo, f.lo);
                pHi = S::MulHiU16(pHi, f.hi);
                if constexpr (n == 2) {
                    pLo = S::template ShiftRight16<8>(pLo);
                    pHi = S::template ShiftRight16<8>(pHi);
                }
            }
            return Select<S>(fourth, in.d, S::PackU16(pLo, pHi));
        } else {
            static_assert(op == PixelOp::Multiply, "unsupported rule");
            return in.d;
        }
    }
}

// Draws the first (n / S::kPixels) * S::kPixels pixels of a row of a 32-bit loop and returns
// how many it drew. src is the row's first source pixel (1 byte per paletted pixel, else 4),
// blend the row's first blend byte (loops with a weight only).
template <class S, PixelLoop L>
int32_t Row(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int32_t n,
            const PixelContext& c) {
    using V = typename S::V;
    static_assert(kLoopSupported<L>, "no step for this loop");
    constexpr int kStep = S::kPixels;
    constexpr bool kPaletted = L.source == SourceKind::Paletted;
    constexpr bool kAlpha = L.source == SourceKind::DirectAlpha;
    constexpr bool kWeighted = LoopUsesWeight(L);
    Inputs<S> in;
    in.alpha = S::Zero();
    in.weight = {S::Zero(), S::Zero()};
    in.bright = MakeProductLanes<S>(c.bright & 0xFF, (c.bright >> 8) & 0xFF, (c.bright >> 16) & 0xFF);
    const uint16_t p = static_cast<uint16_t>(c.param);
    in.paramRow = MakeProductLanes<S>(p, p, p);
    in.paramLanes = S::Repeat64(PixelLanes(p, p, p, 0));
    const V key = S::Set32(c.colorKey);
    const V zero = S::Zero();
    const V opaqueAlpha = S::Set32(255);

    int32_t i = 0;
    for (; i + kStep <= n; i += kStep) {
        uint8_t* d = dst + i * 4;
        V keyValue;
        if constexpr (kPaletted) {
            const uint8_t* s = src + i;
            keyValue = S::Indices(s);
            if constexpr (L.accept == Acceptance::KeyWhole) {
                if (S::AllSet(S::Equal32(keyValue, key))) continue;
            }
            in.s = S::Lookup32(c.palette32, s, keyValue);
        } else {
            in.s = S::Load(src + i * 4);
            keyValue = in.s;
        }
        in.d = S::Load(d);
        if constexpr (kAlpha) in.alpha = S::template ShiftRight32<24>(in.s);
        if constexpr (kWeighted) {
            if constexpr (S::kWeightLanesTable) {
                const uint64_t g = S::EightBytes(blend + i);
                in.weight = {S::WeightLanesLo(c, g), S::WeightLanesHi(c, g)};
            } else {
                in.weight = Spread<S>(S::Weights(c, blend + i));
            }
        }
        // Sprites come in runs of left-out and of opaque pixels: such groups are settled
        // without the arithmetic.
        V r;
        if constexpr (L.accept == Acceptance::KeyWhole) {
            const V keyed = S::Equal32(keyValue, key);
            if (S::AllSet(keyed)) continue;
            r = Select<S>(keyed, in.d, ApplyVec<S, L.rule>(in));
        } else if constexpr (L.accept == Acceptance::AlphaSkipZero ||
                             L.accept == Acceptance::AlphaKeepZero) {
            const V opaque = S::Equal32(in.alpha, opaqueAlpha);
            const V clear = S::Equal32(in.alpha, zero);
            if (L.accept == Acceptance::AlphaSkipZero && S::AllSet(clear)) continue;
            if (S::AllSet(opaque)) {
                r = ApplyVec<S, L.opaque>(in);
            } else {
                r = Select<S>(opaque, ApplyVec<S, L.opaque>(in), ApplyVec<S, L.rule>(in));
                if constexpr (L.accept == Acceptance::AlphaSkipZero) r = Select<S>(clear, in.d, r);
            }
        } else {
            static_assert(L.accept == Acceptance::All, "acceptance of 32-bit loops");
            // An interpolation weighted by an alpha of 0 leaves the destination as it is.
            if constexpr (L.rule.op == PixelOp::Interpolate && L.rule.alpha) {
                if (S::AllSet(S::Equal32(in.alpha, zero))) continue;
            }
            r = ApplyVec<S, L.rule>(in);
        }
        S::Store(d, r);
    }
    return i;
}

}  // namespace simd_steps_32
