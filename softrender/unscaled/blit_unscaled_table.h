// The unscaled blit's dispatch: the loop of every loop key that DescribeUnscaledBlitLoop calls
// valid, built at compile time, one table per pixel format (each in a source file of its own).
#pragma once
#include <array>

#include "softrender/unscaled/blit_unscaled_loops.h"
#include "softrender/rules/pixel_loop.h"

using UnscaledBlitLoopTable = std::array<UnscaledBlitLoopFn, kLoopKeysPerFormat>;

// Keys 0 .. kLoopKeysPerFormat - 1 (16-bit) and kLoopKeysPerFormat .. kLoopKeyCount - 1 (32-bit).
extern const UnscaledBlitLoopTable kUnscaledBlitLoops565;
extern const UnscaledBlitLoopTable kUnscaledBlitLoops32;

// The loop of a key, or null when the key names no loop of the unscaled blit.
inline UnscaledBlitLoopFn FindUnscaledBlitLoop(int key) {
    if (key < 0 || key >= kLoopKeyCount) return nullptr;
    return key < kLoopKeysPerFormat ? kUnscaledBlitLoops565[key]
                                    : kUnscaledBlitLoops32[key - kLoopKeysPerFormat];
}
