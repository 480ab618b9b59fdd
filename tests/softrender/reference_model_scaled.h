// The reference model of the scaled blit: every destination pixel's source column and row
// worked out from its distance to the rectangle's edge by the sampling formula (no
// accumulators), and the pixel drawn by the scaled loops' reference rules.
#pragma once
#include <cstdint>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// Whether the scaled blit's loop for these inputs steps strictly: the mode-0 copy (mode 1 at
// parameter 255 too) and the mode-3 subtract at parameter 255, each without blend image, with
// white bright and from a source without alpha channel.
bool ReferenceScaledLoopIsStrict(const MEMIMG* src, const DrawState& state, bool blendImage);

// The source column (row) read at distance d from the unclipped near edge, for a step
// (16.16), the first drawn distance and the source size: floor(d * 65536 / step), one less in
// a strict loop where the step is below 0x10000, d * 65536 a multiple of it and d not the
// first drawn; counted from the far side when mirrored.
int64_t ReferenceScaledSample(int64_t d, int64_t firstDrawn, int64_t step, int64_t sourceSize,
                              bool strict, bool mirrored);

// BlitMemImgScaled as the reference draws it.
void ReferenceBlitMemImgScaled(MEMIMG* dst, const MEMIMG* src, const RECT& rect,
                               int32_t transFlag, const MEMIMG* blend, const DrawState& state,
                               int useMmx);
