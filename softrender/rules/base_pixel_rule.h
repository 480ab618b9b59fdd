// The general pixel rule of a loop key without the source alpha, shared by the unscaled blit's
// loops and the scaled kernels' loops (also the rule of a = 255 pixels under a colour key).
#pragma once

#include "softrender/rules/pixel_loop.h"

// kBlendNone copies (interpolates with a blend image, through the bright's rows with a bright),
// kBlendAlpha interpolates by p, kBlendAdd and kBlendSubtract add and subtract p-weighted,
// kBlendMultiply multiplies. 16-bit kBlendAlpha without blend image has p as its only factor
// and steps by `alphaOp565`, which is where the kernels differ.
constexpr PixelRule BasePixelRule(const LoopKey& k, PixelOp alphaOp565) {
    PixelRule base;
    base.bright = k.bright;
    base.weight = k.blend;
    // Every mode has its case (-Wswitch names a missing one).
    switch (static_cast<BlendMode>(k.mode)) {
        case kBlendNone:
            base.op = k.blend ? PixelOp::Interpolate
                              : (k.bright ? PixelOp::CopyBright : PixelOp::CopyWhole);
            break;
        case kBlendAlpha:
            base.op = PixelOp::Interpolate;
            base.param = true;
            if (k.format == 0 && !k.blend) {
                base.op = alphaOp565;
                base.param = false;
            }
            break;
        case kBlendAdd:
            base.op = PixelOp::Add;
            base.param = true;
            break;
        case kBlendSubtract:
            base.op = PixelOp::Subtract;
            base.param = true;
            break;
        case kBlendMultiply:
            base.op = PixelOp::Multiply;
            break;
        case kBlendModeCount:  // not a mode
            break;
    }
    return base;
}
