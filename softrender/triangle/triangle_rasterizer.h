// RasterizeMemImgTriangle: the triangle rasteriser. Draws one triangle into a software image,
// textured from a source image by an affine mapping of texel coordinates (no perspective), or
// filled with one colour when no source is given, under the draw state's blend mode,
// parameter, bright and draw area.
//
// The set-up and the line walk are triangle_setup.h and triangle_walk.h; the refusals and the
// choice of loop triangle_plan.h; the loops and their dispatch triangle_spans.h. Not
// re-entrant: a paletted source's palette goes through the kernels' palette scratch
// (palette_scratch.h).
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"

// vertices: three vertices of four integers (x, y, u, v): destination pixel coordinates and
// source texel coordinates (0 to the source's width or height; ignored without a source).
// Coordinates and their differences must stay within -8192..8191 pixels (their 14.18 values
// within 32 bits); a triangle beyond that draws nothing. transFlag: leave out the source's
// colour-key pixels (or decide by its alpha channel). blendImage: one byte per pixel read at
// texel coordinates, at least as large as the source, or null (not used without a source).
// colour: the flat colour in the destination's pixel form, used only without a source.
//
// The lines from the top vertex's line to the line before the bottom vertex's are drawn, each
// from its left edge pixel to its right edge pixel inclusive. A paletted source reads entry
// 0..255 of its palette by index; entries at or beyond the palette's count are colour 0.
void RasterizeMemImgTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t* vertices,
                             int32_t transFlag, const MEMIMG* blendImage, uint32_t colour,
                             const KernelDrawState& state);
