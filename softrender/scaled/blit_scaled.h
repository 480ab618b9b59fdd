// BlitMemImgScaled: the scaled and mirrored blit. Draws a whole software image stretched or
// shrunk onto a rectangle of another, mirrored along an axis whose corners come reversed, under
// the draw state's blend mode, parameter, bright and draw area, leaving out the source's
// colour-key pixels (or deciding by its alpha channel) when transFlag is set, and weighting
// each pixel through a blend image read at source coordinates when one is given. Sampling is
// nearest, with no half-pixel offset: the first destination pixel of an unclipped draw reads
// the first source column (mirrored: the last).
//
// A rectangle of the source's own size that is not mirrored goes to BlitMemImg. It draws
// silently or draws nothing; PlanBlitMemImgScaled (scaled_blit_plan.h) lists every case in
// which nothing is drawn. Not re-entrant: the palette copy and the column table are static
// tables of its own.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// dst: the image drawn into; src: the image drawn; rect: the destination rectangle, right and
// bottom exclusive, corners in any order; blendImage: one byte per pixel, at least as large as
// src, or null.
void BlitMemImgScaled(MEMIMG* dst, const MEMIMG* src, const RECT& rect, int32_t transFlag,
                      const MEMIMG* blendImage, const KernelDrawState& state);
