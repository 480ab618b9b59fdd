// The unscaled blit's eight-pixel AVX2 row steps of its 32-bit loops (compiled in a file of
// their own for AVX2). The walkers call a row step for the leading pixels of each row and
// finish the row with the SSE2 steps and single pixels.
#pragma once
#include <cstdint>

#include "softrender/rules/pixel_context.h"

// Draws the first (n / 8) * 8 pixels of a row and returns how many it drew (the arguments of
// SimdRow32).
using WideRow32Fn = int32_t (*)(uint8_t* dst, const uint8_t* src, const uint8_t* blend,
                                int32_t n, const PixelContext& c);

// The AVX2 row step of a 32-bit loop key, or null when the key has none or the AVX2 steps are
// not active (WideStepsActive).
WideRow32Fn FindWideUnscaledRow32(int key);
