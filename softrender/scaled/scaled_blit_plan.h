// The per-call decisions of the scaled and mirrored blit (BlitMemImgScaled): the refusals, the
// corner order and mirroring, the hand-over of a same-size unmirrored draw to the unscaled
// blit, the steps, the clipping with the start offsets it gives, and the loop that draws.
// PlanBlitMemImgScaled is a pure function of its arguments.
//
// Stepping: the x step is the destination width in 16.16 divided by the source width (the
// number of destination pixels one source pixel covers), the y step likewise. The loops keep an
// accumulator per axis of what is left of the current source pixel's span; each destination
// pixel consumes 0x10000 of it. The steps, offsets and accumulators are 64-bit, so wide
// destinations and large clipped-off parts cannot overflow.
//
// Resulting sampling: the destination pixel at distance d from the unclipped left edge of the
// ordered rectangle reads source column floor(d * 65536 / x step) (source width - 1 minus that
// when mirrored); rows alike. The strict loops (PixelLoop::strict) read one column less where
// the step is below 0x10000 and d * 65536 is a multiple of it, except at the first drawn pixel
// of a row (first drawn row, for rows).
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// The largest source width and height: every column and row the loops read lies inside the
// source only while the source is at most this many pixels across (and a step is never 0).
constexpr int32_t kScaledMaxSourceSide = 65536;

enum class ScaledDraw : uint8_t {
    Nothing,
    Unscaled,  // same size, not mirrored: BlitMemImg at (area.left, area.top)
    Stepped,   // the loop `loop` over `area`
};

struct ScaledBlitPlan {
    ScaledDraw draw = ScaledDraw::Nothing;
    int loop = -1;       // the scaled pixel loop (scaled_pixel_loops.h)
    RECT area{};         // Unscaled: the ordered rectangle; Stepped: the clipped one
    bool mirrorX = false, mirrorY = false;
    int64_t stepX = 0, stepY = 0;  // 16.16
    // Source column and row read at the area's top-left (mirrored: counted from the left and
    // top all the same), and the accumulators' start values (step - remainder).
    int32_t sourceColumn = 0, sourceRow = 0;
    int64_t accumulatorX = 0, accumulatorY = 0;
};

// Decides how BlitMemImgScaled(dst, src, rect, transFlag, blend) draws under the draw state's
// blend mode, parameter, bright and draw area, with the packed-byte subtract allowed when
// useMmx is 1. The rectangle's corners may come in any order: left > right mirrors the image
// horizontally, top > bottom vertically.
//
// Nothing is drawn when:
//   - an image has no pixels, the images' pixel formats differ, the destination is paletted or
//     has an alpha channel, or the format is not 16-bit 5-6-5 or 32-bit;
//   - the rectangle has no width or height;
//   - (not handed to the unscaled blit, which makes its own decisions) the source is empty or
//     wider or higher than kScaledMaxSourceSide, a blend image is given that is narrower or
//     lower than the source, the loop draws nothing for the mode and parameter
//     (SelectScaledPixelLoop), or the rectangle clipped to the draw area is empty.
ScaledBlitPlan PlanBlitMemImgScaled(const MEMIMG* dst, const MEMIMG* src, const RECT& rect,
                                    int32_t transFlag, const MEMIMG* blend,
                                    const KernelDrawState& state, int32_t useMmx);
