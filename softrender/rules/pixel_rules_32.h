// The pixel rules of 32-bit images: one destination pixel d combined with one source colour s
// (bytes B, G, R, fourth), the source alpha a and the blend weight w, under the rule's factors.
// Each rule is a compile-time PixelRule, so a loop instantiated over it holds only its own
// arithmetic.
//
// Shared notation: b_c is the source channel after the bright (ProductTable[bright_c][s_c] when
// the rule has a bright, else s_c); ΠF the product of the factors the rule names (w, a, p) and
// n their number. All arithmetic is unsigned 32-bit: products reach 255^4, and the sums of the
// interpolation wrap through negative differences to the exact non-negative result.
#pragma once
#include <cstdint>

#include "softrender/rules/carry_mask_ops.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/pixel_rule_factors.h"

namespace pixel_rules_32_detail {

using pixel_rule_factors::OtherFactorCount;
using pixel_rule_factors::OtherFactors;

// The packed source term of the add and subtract (B, G, R in bytes 0..2, byte 3 zero): with p
// the only factor t_c = ProductTable[p][b_c]; otherwise t_c = floor(b_c * ΠF / 256^n) with p
// among the factors when the rule has it.
template <PixelRule R>
inline uint32_t AddTerm(uint32_t b, uint32_t g, uint32_t r, uint32_t a, uint32_t w,
                        const PixelContext& c) {
    constexpr int others = OtherFactorCount<R>();
    if constexpr (R.param && others == 0) {
        return c.paramRow[b] | (c.paramRow[g] << 8) | (c.paramRow[r] << 16);
    } else {
        uint32_t f = OtherFactors<R>(a, w);
        if constexpr (R.param) f *= c.param;
        constexpr int shift = 8 * (others + (R.param ? 1 : 0));
        return ((b * f) >> shift) | (((g * f) >> shift) << 8) | (((r * f) >> shift) << 16);
    }
}

}  // namespace pixel_rules_32_detail

// The new value of destination pixel d.
template <PixelRule R>
inline uint32_t ApplyRule32(uint32_t d, uint32_t s, uint32_t a, uint32_t w,
                            const PixelContext& c) {
    using namespace pixel_rules_32_detail;
    constexpr PixelOp op = R.op;
    static_assert(op != PixelOp::None && op != PixelOp::BlendTable565 &&
                      op != PixelOp::DifferenceStep,
                  "not a rule of 32-bit images");
    if constexpr (op == PixelOp::CopyWhole) {
        return s;
    } else if constexpr (op == PixelOp::HalfAverage) {
        return HalfAverage32(d, s);
    } else if constexpr (op == PixelOp::AddUnscaled) {
        return CarryMaskAddUnscaled32(d, s);
    } else if constexpr (op == PixelOp::SubtractUnscaled) {
        return CarryMaskSub32(d, s & 0x00FEFEFFu);
    } else if constexpr (op == PixelOp::AddSaturate) {
        return SaturatingAddBytes32(d, s);
    } else if constexpr (op == PixelOp::SubtractSaturate) {
        return SaturatingSubBytes32(d, s);
    } else {
        uint32_t sb = s & 0xFFu;
        uint32_t sg = (s >> 8) & 0xFFu;
        uint32_t sr = (s >> 16) & 0xFFu;
        if constexpr (R.bright) {
            sb = c.brightB[sb];
            sg = c.brightG[sg];
            sr = c.brightR[sr];
        }
        if constexpr (op == PixelOp::CopyBright) {
            return (d & 0xFF000000u) | (sr << 16) | (sg << 8) | sb;
        } else if constexpr (op == PixelOp::Interpolate) {
            uint32_t f = OtherFactors<R>(a, w);
            if constexpr (R.param) f *= c.param;
            constexpr int shift = 8 * (OtherFactorCount<R>() + (R.param ? 1 : 0));
            static_assert(shift > 0, "an interpolation needs a factor");
            const uint32_t db = d & 0xFFu;
            const uint32_t dg = (d >> 8) & 0xFFu;
            const uint32_t dr = (d >> 16) & 0xFFu;
            const uint32_t rb = ((db << shift) + (sb - db) * f) >> shift;
            const uint32_t rg = ((dg << shift) + (sg - dg) * f) >> shift;
            const uint32_t rr = ((dr << shift) + (sr - dr) * f) >> shift;
            return (d & 0xFF000000u) | ((rr & 0xFFu) << 16) | ((rg & 0xFFu) << 8) | (rb & 0xFFu);
        } else if constexpr (op == PixelOp::Add) {
            return CarryMaskAdd32(d, AddTerm<R>(sb, sg, sr, a, w, c));
        } else if constexpr (op == PixelOp::Subtract) {
            return CarryMaskSub32(d, AddTerm<R>(sb, sg, sr, a, w, c));
        } else if constexpr (op == PixelOp::Multiply) {
            static_assert(!R.param, "the multiply never reads the parameter");
            const uint32_t f = OtherFactors<R>(a, w);
            constexpr int shift = 8 + 8 * OtherFactorCount<R>();
            const uint32_t rb = ((d & 0xFFu) * sb * f) >> shift;
            const uint32_t rg = (((d >> 8) & 0xFFu) * sg * f) >> shift;
            const uint32_t rr = (((d >> 16) & 0xFFu) * sr * f) >> shift;
            return (d & 0xFF000000u) | (rr << 16) | (rg << 8) | rb;
        } else {
            static_assert(op == PixelOp::Multiply, "unhandled pixel operation");
            return d;
        }
    }
}
