// The per-call decisions of the unscaled blit (BlitMemImg): every refusal, the clipping, the
// parameter exits and short cuts, and the loop that draws. PlanBlitMemImg is a pure function
// of its arguments; DescribeUnscaledBlitLoop says, for each loop key, what that loop does to a
// pixel. Together they are the whole behaviour of the blit apart from the walking of rows.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"
#include "softrender/rules/base_pixel_rule.h"
#include "softrender/rules/pixel_loop.h"

struct BlitPlan {
    int loop = -1;        // loop key, -1: nothing is drawn
    RECT area{};          // the destination rectangle that is drawn
    int32_t sourceX = 0;  // source (and blend image) pixel drawn at the area's top-left
    int32_t sourceY = 0;
};

// Decides how BlitMemImg(dst, src, x, y, transFlag, blend) draws under the draw state's blend
// mode, parameter, bright and draw area, with the packed-byte leaves allowed when useMmx is 1.
// Nothing is drawn (loop -1) when:
//   - the images have different pixel formats, the destination is paletted or has an alpha
//     channel, the format is not 16-bit 5-6-5 or 32-bit, or an image has no pixels;
//   - a blend image is given that is narrower or lower than the source;
//   - x + source width or y + source height lies beyond the 32-bit range;
//   - the source rectangle clipped to the draw area (itself limited to the destination) is
//     empty;
//   - the blend mode is not a kernel mode, or kBlendAlpha, kBlendAdd or kBlendSubtract has
//     parameter 0.
BlitPlan PlanBlitMemImg(const MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y,
                        int32_t transFlag, const MEMIMG* blend, const KernelDrawState& state,
                        int32_t useMmx);

// What the loop of an unscaled-blit key draws; .valid is false for keys the blit never uses.
//
// Short cuts (only with no blend image, white bright and a source without alpha channel):
// kBlendAlpha at parameter 128 is the half-average (a packed leaf for 32-bit direct sources);
// kBlendAdd and kBlendSubtract at parameter 255 are the unscaled add and subtract of the source
// word (packed leaves, exact per byte, for 32-bit sources). The 16-bit unscaled add and subtract work on pixel
// pairs (the walker's business).
//
// Named differences from the general rules:
//   - kBlendNone from a source with alpha channel, without colour key, white bright and no blend
//     image copies the whole source pixel and ignores the alpha;
//   - kBlendMultiply from a source with alpha channel under a colour key has only the a = 255 short
//     cut: a = 0 is multiplied by 0, not left out;
//   - 16-bit kBlendAlpha with p the only factor reads Blend565Table with white bright, and
//     SignedProductTable with a bright and for the a = 255 pixels of an alpha source;
//   - the 16-bit plain copy compares the colour key's low 16 bits; every other 16-bit direct
//     loop compares the colour with the whole key.
constexpr PixelLoop DescribeUnscaledBlitLoop(int keyIndex) {
    const LoopKey k = DecodeLoopKey(keyIndex);
    PixelLoop loop;
    loop.format = static_cast<int8_t>(k.format);
    loop.source = k.source;
    const bool paletted = k.source == SourceKind::Paletted;
    const bool alphaSource = k.source == SourceKind::DirectAlpha;
    const Acceptance keyAccept = k.key ? Acceptance::KeyWhole : Acceptance::All;

    if (k.special != LoopSpecial::None) {
        if (k.blend || k.bright || alphaSource) return {};
        if (k.mode != kBlendAlpha && k.mode != kBlendAdd && k.mode != kBlendSubtract) return {};
        const bool packed = k.special == LoopSpecial::Packed;
        if (packed && (k.format != 1 || (k.mode == kBlendAlpha && paletted))) return {};
        loop.valid = true;
        loop.accept = keyAccept;
        loop.packed = packed;
        if (k.mode == kBlendAlpha) {
            loop.rule.op = PixelOp::HalfAverage;
        } else if (k.mode == kBlendAdd) {
            loop.rule.op = packed ? PixelOp::AddSaturate : PixelOp::AddUnscaled;
        } else {
            loop.rule.op = packed ? PixelOp::SubtractSaturate : PixelOp::SubtractUnscaled;
        }
        return loop;
    }

    loop.valid = true;
    // The rule without the source alpha (also the rule of a = 255 pixels under a colour key)
    // and the rule with it.
    const PixelRule base = BasePixelRule(
        k, k.bright ? PixelOp::DifferenceStep : PixelOp::BlendTable565);

    if (!alphaSource) {
        loop.rule = base;
        loop.accept = keyAccept;
        if (k.key && k.format == 0 && !paletted && base.op == PixelOp::CopyWhole) {
            loop.accept = Acceptance::KeyLow16;
        }
        return loop;
    }

    PixelRule withAlpha = base;
    withAlpha.alpha = true;
    if (base.op == PixelOp::CopyWhole || base.op == PixelOp::CopyBright) {
        withAlpha = {PixelOp::Interpolate, k.bright, k.blend, true, false, false};
    } else if (base.op == PixelOp::BlendTable565 || base.op == PixelOp::DifferenceStep) {
        withAlpha = {PixelOp::Interpolate, k.bright, false, true, true, false};
    }
    if (!k.key) {
        // The plain copy ignores the alpha; every other loop weights every pixel by it.
        loop.rule = base.op == PixelOp::CopyWhole ? base : withAlpha;
        loop.accept = Acceptance::All;
        return loop;
    }
    loop.rule = withAlpha;
    loop.opaque = base;
    if (base.op == PixelOp::BlendTable565) {
        loop.opaque = {PixelOp::DifferenceStep, false, false, false, false, false};
    }
    loop.accept =
        k.mode == kBlendMultiply ? Acceptance::AlphaKeepZero : Acceptance::AlphaSkipZero;
    return loop;
}
