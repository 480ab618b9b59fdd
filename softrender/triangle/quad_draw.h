// Quads: a whole software image mapped onto four free corners as two textured triangles of
// the triangle rasteriser (RasterizeMemImgTriangle), with the source's corners as texture
// coordinates.
//
// Corner order: corner 0 receives the source's top-left, corner 1 its top-right, corner 2 its
// bottom-left and corner 3 its bottom-right; the eight values are x0, y0, x1, y1, x2, y2, x3,
// y3. The texture coordinates are (0, 0), (W, 0), (0, H) and (W, H), W and H the source's
// width and height (the rasteriser draws a texel only while u < W and v < H). The triangles are
// corners 0, 1, 2 and then 1, 2, 3: both walk the diagonal from corner 1 to corner 2, so in the
// blend modes 1 to 3 its pixels are blended twice.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// The quad's early-out test: 1 when the box around the corners, with 2 pixels more on the
// left and top and 4 on the right and bottom, clipped to the draw area (ClipRectInPlace) keeps
// some width and height; else 0 and the quad is not drawn. The box only decides whether the
// rasteriser is called; it does not limit the triangles.
int QuadReachesDrawArea(const int32_t* corners, const RECT& drawArea);

// Draws src onto dst with its four corners at the eight corner values, under the draw state's
// blend mode, parameter, bright and draw area, leaving out colour-key pixels when transFlag is
// set and weighting by blendImage (read at source coordinates, at least as large as src, or
// null). Nothing is drawn when the box around the corners (2 pixels more to the left and top,
// 4 to the right and bottom) misses the draw area, or when the rasteriser refuses a triangle.
void DrawMemImgQuad(MEMIMG* dst, const MEMIMG* src, const int32_t* corners, int32_t transFlag,
                    const MEMIMG* blendImage, const KernelDrawState& state);
