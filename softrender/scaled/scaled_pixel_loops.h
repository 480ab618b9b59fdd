// The pixel loops of the scaled kernels: the stretched blit's loops, from which the triangle
// and rotation spans start. SelectScaledPixelLoop makes the per-call choice of variant;
// DescribeScaledPixelLoop says what each loop does to a pixel. A scaled kernel walks its
// rectangle with its accumulators and calls DrawPixel (or ClassifySourcePixel once per source
// pixel and DrawClassifiedPixel per destination pixel) with the description of the key chosen
// here; PixelLoop::strict tells which advance condition its stepping uses.
#pragma once
#include <cstdint>

#include "softrender/rules/base_pixel_rule.h"
#include "softrender/rules/pixel_loop.h"

// The loop key for a call, or -1 when nothing is drawn: kBlendAlpha and kBlendAdd at parameter
// 0, kBlendSubtract at parameter 0 from a direct source (a paletted source runs its loops with
// a zero term), a mode that is not a kernel mode, or a format other than 0 (16-bit) and 1
// (32-bit). kBlendAlpha at parameter 255 runs kBlendNone's loops. bright is the packed
// 0x00RRGGBB draw bright. kBlendSubtract at parameter 255 with no blend image, white bright and
// no source alpha takes the full-parameter loops, through packed bytes when useMmx is 1 and the
// pixels are 32-bit.
int SelectScaledPixelLoop(int pixelFormat, SourceKind source, int32_t blendMode,
                          int32_t blendParam, bool blendImage, uint32_t bright,
                          int32_t transFlag, int32_t useMmx);

// What the loop of a scaled-kernel key does; .valid is false for keys the kernels never use.
//
// Named differences from the unscaled blit's loops: no half-average and no unscaled add; a
// source alpha without colour key weights every pixel (the plain copy too); under a colour key
// an alpha-0 pixel is left out in every mode, kBlendMultiply included; 16-bit kBlendAlpha with
// p the only factor always steps through SignedProductTable; the 16-bit add and subtract term of an alpha
// source with a bright and no blend image applies the alpha before the bright.
constexpr PixelLoop DescribeScaledPixelLoop(int keyIndex) {
    const LoopKey k = DecodeLoopKey(keyIndex);
    PixelLoop loop;
    loop.format = static_cast<int8_t>(k.format);
    loop.source = k.source;
    const bool paletted = k.source == SourceKind::Paletted;
    const bool alphaSource = k.source == SourceKind::DirectAlpha;
    const Acceptance keyAccept = k.key ? Acceptance::KeyWhole : Acceptance::All;

    if (k.special != LoopSpecial::None) {
        // The full-parameter subtract.
        if (k.mode != kBlendSubtract || k.blend || k.bright || alphaSource) return {};
        const bool packed = k.special == LoopSpecial::Packed;
        if (packed && k.format != 1) return {};
        loop.valid = true;
        loop.accept = keyAccept;
        loop.strict = true;
        loop.packed = packed;
        if (k.format == 1) {
            loop.rule.op = packed ? PixelOp::SubtractSaturate : PixelOp::SubtractUnscaled;
        } else {
            loop.rule.op = PixelOp::Subtract;  // the source colour itself is the term
        }
        return loop;
    }

    loop.valid = true;
    if (k.mode == kBlendNone && !k.blend && !k.bright && !alphaSource) {
        loop.rule.op = PixelOp::CopyWhole;
        loop.accept = keyAccept;
        if (k.key && k.format == 0 && !paletted) loop.accept = Acceptance::KeyLow16;
        loop.strict = true;
        return loop;
    }

    const PixelRule base = BasePixelRule(k, PixelOp::DifferenceStep);
    if (!alphaSource) {
        loop.rule = base;
        loop.accept = keyAccept;
        return loop;
    }

    PixelRule withAlpha = base;
    withAlpha.alpha = true;
    if (base.op == PixelOp::CopyWhole || base.op == PixelOp::CopyBright) {
        withAlpha = {PixelOp::Interpolate, k.bright, k.blend, true, false, false};
    } else if (base.op == PixelOp::DifferenceStep) {
        withAlpha = {PixelOp::Interpolate, k.bright, false, true, true, false};
    } else if ((base.op == PixelOp::Add || base.op == PixelOp::Subtract) && k.format == 0 &&
               !k.blend && k.bright) {
        withAlpha.alphaBeforeBright = true;
    }
    loop.rule = withAlpha;
    if (k.key) {
        loop.opaque = base;
        loop.accept = Acceptance::AlphaSkipZero;
    }
    return loop;
}
