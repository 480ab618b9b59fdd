// The pixel rules of 16-bit 5-6-5 images: one destination pixel d combined with one source
// colour s (red bits 11-15, green 5-10, blue 0-4), the source alpha a and the blend weight w.
// The arithmetic works on the channel values (0..31, 0..63), which also index the tables; the
// bright is applied to those values, not to 8-bit ones.
//
// Shared notation: cs′ the source channel after the bright, cd the destination channel, W the
// product of the factors that apply and k = 8 per factor. Results are the low 16 bits.
#pragma once
#include <cstdint>

#include "softrender/rules/carry_mask_ops.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/pixel_rule_factors.h"

namespace pixel_rules_16_detail {

inline uint32_t Join565(uint32_t r, uint32_t g, uint32_t b) { return (r << 11) | (g << 5) | b; }

using pixel_rule_factors::OtherFactorCount;
using pixel_rule_factors::OtherFactors;

// The source term e of the add and subtract. Per channel t = floor(cs′ * X / 2^j), X the
// weight and alpha where they apply (j = 8 per factor), then ProductTable[p][t] when the rule
// has the parameter. With alphaBeforeBright the alpha comes first: t = bright[(cs * a) >> 8].
template <PixelRule R>
inline uint32_t AddTerm(uint32_t s, uint32_t a, uint32_t w, const PixelContext& c) {
    uint32_t r = s >> 11;
    uint32_t g = (s >> 5) & 0x3Fu;
    uint32_t b = s & 0x1Fu;
    if constexpr (R.alphaBeforeBright) {
        static_assert(R.alpha && !R.weight && R.bright, "alpha-before-bright term");
        r = c.brightR[(r * a) >> 8];
        g = c.brightG[(g * a) >> 8];
        b = c.brightB[(b * a) >> 8];
    } else {
        if constexpr (R.bright) {
            r = c.brightR[r];
            g = c.brightG[g];
            b = c.brightB[b];
        }
        constexpr int others = OtherFactorCount<R>();
        if constexpr (others > 0) {
            const uint32_t f = OtherFactors<R>(a, w);
            r = (r * f) >> (8 * others);
            g = (g * f) >> (8 * others);
            b = (b * f) >> (8 * others);
        }
    }
    if constexpr (R.param) {
        r = c.paramRow[r];
        g = c.paramRow[g];
        b = c.paramRow[b];
    }
    return Join565(r, g, b);
}

}  // namespace pixel_rules_16_detail

// The new value of destination pixel d (low 16 bits).
template <PixelRule R>
inline uint32_t ApplyRule16(uint32_t d, uint32_t s, uint32_t a, uint32_t w,
                            const PixelContext& c) {
    using namespace pixel_rules_16_detail;
    constexpr PixelOp op = R.op;
    static_assert(op != PixelOp::None && op != PixelOp::AddSaturate &&
                      op != PixelOp::SubtractSaturate,
                  "not a rule of 16-bit images");
    if constexpr (op == PixelOp::CopyWhole) {
        return s & 0xFFFFu;
    } else if constexpr (op == PixelOp::HalfAverage) {
        return HalfAverage565(d, s);
    } else if constexpr (op == PixelOp::AddUnscaled) {
        // One pixel alone; pairs are the walker's (SaturatingAddPair565).
        return SaturatingAddUnscaled565(d, s);
    } else if constexpr (op == PixelOp::SubtractUnscaled) {
        return SaturatingSub565(d, s);
    } else if constexpr (op == PixelOp::Add) {
        return SaturatingAdd565(d, AddTerm<R>(s, a, w, c));
    } else if constexpr (op == PixelOp::Subtract) {
        return SaturatingSub565(d, AddTerm<R>(s, a, w, c));
    } else {
        uint32_t sr = s >> 11 & 0x1Fu;
        uint32_t sg = (s >> 5) & 0x3Fu;
        uint32_t sb = s & 0x1Fu;
        if constexpr (R.bright) {
            sr = c.brightR[sr];
            sg = c.brightG[sg];
            sb = c.brightB[sb];
        }
        const uint32_t dr = (d >> 11) & 0x1Fu;
        const uint32_t dg = (d >> 5) & 0x3Fu;
        const uint32_t db = d & 0x1Fu;
        if constexpr (op == PixelOp::CopyBright) {
            return Join565(sr, sg, sb);
        } else if constexpr (op == PixelOp::Interpolate) {
            uint32_t f = OtherFactors<R>(a, w);
            if constexpr (R.param) f *= c.param;
            constexpr int k = 8 * (OtherFactorCount<R>() + (R.param ? 1 : 0));
            static_assert(k > 0, "an interpolation needs a factor");
            return Join565((((dr << k) + (sr - dr) * f) >> k) & 0x1Fu,
                           (((dg << k) + (sg - dg) * f) >> k) & 0x3Fu,
                           (((db << k) + (sb - db) * f) >> k) & 0x1Fu);
        } else if constexpr (op == PixelOp::BlendTable565) {
            const uint8_t* row = c.blend565Row;
            return Join565(row[sr * 64 + dr], row[sg * 64 + dg], row[sb * 64 + db]);
        } else if constexpr (op == PixelOp::DifferenceStep) {
            const int32_t* row = c.differenceRow;
            const int32_t ir = static_cast<int32_t>(sr) - static_cast<int32_t>(dr);
            const int32_t ig = static_cast<int32_t>(sg) - static_cast<int32_t>(dg);
            const int32_t ib = static_cast<int32_t>(sb) - static_cast<int32_t>(db);
            return Join565(static_cast<uint32_t>(static_cast<int32_t>(dr) + row[ir]),
                           static_cast<uint32_t>(static_cast<int32_t>(dg) + row[ig]),
                           static_cast<uint32_t>(static_cast<int32_t>(db) + row[ib]));
        } else if constexpr (op == PixelOp::Multiply) {
            static_assert(!R.param, "the multiply never reads the parameter");
            const uint32_t f = OtherFactors<R>(a, w);
            constexpr int k = 8 * OtherFactorCount<R>();
            return Join565((sr * dr * f) >> (5 + k), (sg * dg * f) >> (6 + k),
                           (sb * db * f) >> (5 + k));
        } else {
            static_assert(op == PixelOp::Multiply, "unhandled pixel operation");
            return d;
        }
    }
}
