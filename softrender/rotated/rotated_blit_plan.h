// The per-call decisions of the rotated and scaled blit (BlitMemImgRotated): the refusals, the
// rotated corners, the hand-over of a mirrored draw to the quad draw, the bounding box and its
// clipping, the inverse mapping from destination pixels to source points, and the span loop.
// PlanBlitMemImgRotated is a pure function of its arguments; the kernel only fills its tables
// and runs the loop the plan names.
//
// Fixed point: source points, corners, sine and cosine are 14.18 (one pixel = 262144). The
// set-up is made in 64-bit integers and doubles, so that centres and offsets far from the
// origin, and sources whose centre lies 8192 pixels or more from their edge, cannot wrap: the
// start point is kept in 64 bits, and only the steps per pixel and per line must fit 32 bits.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// The largest source width and height the span loops take: the limits width << 18 and
// height << 18 must fit 32 bits. The row tables have this many entries.
constexpr int32_t kRotatedMaxSourceSide = 16383;

enum class RotatedDraw : uint8_t {
    Nothing,
    Mirrored,  // TurnFlag: drawn by DrawMemImgQuad with `quad`
    Spans,     // drawn by the span loop `loop` over `box`
};

struct RotatedBlitPlan {
    RotatedDraw draw = RotatedDraw::Nothing;
    // Mirrored: x0, y0 .. x3, y3 for DrawMemImgQuad, in whole pixels: the rotated rectangle's
    // top-right, top-left, bottom-right and bottom-left corners, so that the source's left edge
    // lands on the right.
    int32_t quad[8] = {};
    // Spans: the loop key (rotated_span_loops.h), the clipped box, and the source point of the
    // box's top-left pixel with its steps per pixel and per line (14.18).
    int loop = -1;
    RECT box{};
    int64_t u0 = 0, v0 = 0;
    int32_t stepU = 0, stepV = 0;
    int32_t lineU = 0, lineV = 0;
    uint32_t uLimit = 0, vLimit = 0;
};

// The corners of the rotated rectangle: a width x height source scaled by `scale` and turned by
// `angle` (radians) about its centre, which lands on (cx, cy). Each corner's offset from the
// centre is the half size (size x scale / 2, rounded to float) turned by the sine and cosine
// in 14.18, each product and sum rounded to float and truncated; the centre is added and the
// sum rounded toward zero to whole pixels. A negative size counts as its unsigned value.
struct RotatedCorners {
    // Top-left, top-right, bottom-left, bottom-right of the unturned source.
    int64_t x[4], y[4];
    int32_t sine, cosine;  // of the angle, 14.18
};

// Works out the corners; false when an offset is not finite or lies beyond 2^61 (in 14.18).
bool TurnRotatedCorners(int32_t cx, int32_t cy, float angle, float scale, int32_t width,
                        int32_t height, RotatedCorners* corners);

// The box of the corners, as the rotated blit draws them: left and top the least corner
// coordinates, right and bottom the greatest, each held inside the 32-bit range, with no
// margin (the span loop walks it widened by 2 pixels before and 4 after, clipped). False, and
// the box untouched, when TurnRotatedCorners is false.
bool GetRotatedCornerBox(int32_t cx, int32_t cy, float angle, float scale, int32_t width,
                         int32_t height, RECT* box);

// Decides how BlitMemImgRotated(dst, src, cx, cy, angle, scale, transFlag, turnFlag, blend)
// draws under the draw state's blend mode, parameter, bright and draw area. The source's
// centre pixel (width >> 1, height >> 1) lands on (cx, cy); a source offset (px, py) lands at
// (cos a * px - sin a * py, sin a * px + cos a * py) * scale from it, y growing downwards.
// Every pixel of the box is sampled at its top-left corner.
//
// Nothing is drawn when:
//   - an image has no pixels, the images' pixel formats differ, or the destination is paletted
//     or has an alpha channel;
//   - the scale is 0 or not finite, or the angle is not finite;
//   - a blend image is given that is narrower or lower than the source;
//   - (not mirrored) the span loop draws nothing for the format, mode and parameter
//     (SelectRotatedSpanLoop), the source is empty or wider or higher than
//     kRotatedMaxSourceSide, the clipped box is empty, or a step or line step does not fit
//     32 bits (a scale below about 1 / 8192), or the start point lies beyond 2^61.
RotatedBlitPlan PlanBlitMemImgRotated(const MEMIMG* dst, const MEMIMG* src, int32_t cx,
                                      int32_t cy, float angle, float scale, int32_t transFlag,
                                      int32_t turnFlag, const MEMIMG* blend,
                                      const KernelDrawState& state);
