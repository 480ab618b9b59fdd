// BlitMemImgRotated: the rotated and scaled blit. Draws a whole software image turned by an
// angle and scaled by a factor about a destination point, under the draw state's blend mode,
// parameter, bright and draw area, leaving out the source's colour-key pixels (or deciding by
// its alpha channel) when transFlag is set, and weighting each pixel through a blend image read
// at source coordinates when one is given. Sampling is nearest, every destination pixel of the
// bounding box mapped back into the source.
//
// turnFlag mirrors the image left to right; that draw is handed to the quad draw
// (DrawMemImgQuad), whose clipping, blend modes and colour key then apply.
//
// It draws silently or draws nothing; PlanBlitMemImgRotated (rotated_blit_plan.h) lists every
// case in which nothing is drawn. Not re-entrant: the row tables and the palette copy are
// single static buffers.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"

// dst: the image drawn into; src: the image drawn, its centre pixel (width >> 1,
// height >> 1) on (cx, cy); angle in radians (a source offset (px, py) lands at
// (cos a * px - sin a * py, sin a * px + cos a * py) * scale from the centre, y downwards);
// scale 1.0 draws unscaled, a negative scale adds a half turn; blendImage: one byte per pixel,
// at least as large as src, or null.
void BlitMemImgRotated(MEMIMG* dst, const MEMIMG* src, int32_t cx, int32_t cy, float angle,
                       float scale, int32_t transFlag, int32_t turnFlag,
                       const MEMIMG* blendImage, const KernelDrawState& state);
