// The software path of the rotated graph draw: a graph's software image drawn scaled, turned
// about its centre and optionally mirrored by BlitMemImgRotated, onto the draw target.
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"

struct GraphRecord;

// Draws the graph's software image scaled by `scale` and turned by `angle` (radians) about its
// centre, which lands on (x, y) (each truncated toward zero), mirrored left to right when
// turnFlag is set. On a software screen it draws into the mask's image while mask drawing is
// active, else into the draw target's software image. Returns 0 when the draw reached the
// kernel (whether or not a pixel was drawn); -1 when software drawing is not possible (neither
// software-only mode nor a DirectDraw object), the graph's 2D surface or surface data cannot be
// found, or there is no destination image. On a screen in DirectDraw surfaces it draws into
// the software images the draw target prepares for the draw (draw_target_images.h), and is
// refused when it prepares none. A draw to the front of a software screen is shown in the
// window at once. The caller has resolved the handle and refused a blend graph smaller than
// the graph.
int BlitGraphRotatedSoft(float x, float y, double scale, double angle, const GraphRecord* graph,
                         int32_t transFlag, int32_t turnFlag);

// The destination box the DirectDraw road prepares for that draw: the kernel's own corner box
// (GetRotatedCornerBox, the angle and scale as floats) of the graph's rectangle about (x, y);
// no margin, right and bottom the greatest corner coordinates. (x, y, x, y) when the kernel
// has no corners for the call (it then draws nothing).
RECT GetRotatedSoftDrawBox(int32_t x, int32_t y, double scale, double angle, int32_t graphWidth,
                           int32_t graphHeight);
