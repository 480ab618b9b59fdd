// The general pixel rule of a loop key without the source alpha, shared by the unscaled blit's
// loops and the scaled kernels' loops (also the rule of a = 255 pixels under a colour key).
#pragma once

#include "softrender/rules/pixel_loop.h"

// Mode 0 copies (interpolates with a blend image, through the bright's rows with a bright),
// mode 1 interpolates by p, modes 2 and 3 add and subtract p-weighted, mode 4 multiplies.
// 16-bit mode 1 without blend image has p as its only factor and steps by `mode1Op565`, which
// is where the kernels differ.
constexpr PixelRule BasePixelRule(const LoopKey& k, PixelOp mode1Op565) {
    PixelRule base;
    base.bright = k.bright;
    base.weight = k.blend;
    switch (k.mode) {
        case 0:
            base.op = k.blend ? PixelOp::Interpolate
                              : (k.bright ? PixelOp::CopyBright : PixelOp::CopyWhole);
            break;
        case 1:
            base.op = PixelOp::Interpolate;
            base.param = true;
            if (k.format == 0 && !k.blend) {
                base.op = mode1Op565;
                base.param = false;
            }
            break;
        case 2:
            base.op = PixelOp::Add;
            base.param = true;
            break;
        case 3:
            base.op = PixelOp::Subtract;
            base.param = true;
            break;
        default:
            base.op = PixelOp::Multiply;
            break;
    }
    return base;
}
