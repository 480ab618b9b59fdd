// FillMemImgRect: fills a rectangle of a software image with one colour under the draw state's
// blend mode, parameter and bright. It serves the box fill. PlanFillMemImgRect (fill_plan.h)
// lists every case in which nothing is filled.
//
// The graph-level box fill, FillBoxSoft(x1, y1, x2, y2, colour), lives with the draw
// target (graphics/draw_target/draw_target.h): it picks the destination (the mask's image
// while a mask is active, else the draw target's software image) on a software screen, or
// brackets this fill with the begin and end of software drawing on a DirectDraw screen, and
// calls FillMemImgRect with the rectangle as given.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// rect: the pixels to fill, right and bottom exclusive, corners in any order; null fills the
// whole image. color: a pixel value in the image's own form (a 16-bit colour in the low 16
// bits). Only the draw area's part of the image is filled.
void FillMemImgRect(MEMIMG* dst, const RECT* rect, uint32_t color, const KernelDrawState& state);
