// BlitMemImg: the unscaled software blit. Draws a whole software image onto another at an
// integer position under the draw state's blend mode, parameter and bright, leaving out the
// source's colour-key pixels (or deciding by its alpha channel) when transFlag is set, and
// weighting each pixel through a blend image read at source coordinates when one is given.
//
// It draws silently or draws nothing; PlanBlitMemImg (blit_plan.h) lists every case in which
// nothing is drawn. Not re-entrant: a paletted source's palette goes through the kernels'
// palette scratch (palette_scratch.h).
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"

// dst: the image drawn into; src: the image drawn, its top-left pixel at (x, y) on dst;
// blendImage: one byte per pixel, at least as large as src, or null.
void BlitMemImg(MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y, int32_t transFlag,
                const MEMIMG* blendImage, const KernelDrawState& state);
