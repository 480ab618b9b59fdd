// The software path of the stretched graph draw: a graph's software image drawn stretched,
// shrunk or mirrored onto a rectangle of the draw target by BlitMemImgScaled.
#pragma once
#include <bit>
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphRecord;

// Draws the graph onto the rectangle with corners (x1, y1) and (x2, y2), right and bottom
// exclusive, mirrored along an axis whose corners come reversed, under the draw state. With
// intCoords 1 the corners are integers; otherwise each holds the bits of a 32-bit float
// (StretchCoordFromFloat), truncated toward zero. surface2D is the 2D surface to draw from, or
// -1 for the graph's own (the stretched graph draw passes 1 and -1).
//
// On a software screen it draws into the mask's image while mask drawing is active, else into
// the draw target's software image, and returns 0 whether or not a pixel was drawn. -1 when
// software drawing is not possible (neither software-only mode nor a DirectDraw object), the
// 2D surface or its surface data cannot be found, or there is no destination image. On a
// screen in DirectDraw surfaces it draws into the software images graph management prepares
// for the draw (soft_draw_target.h), and is refused when it prepares none; a rectangle of the
// source's own size, not mirrored, is handed to graph management's unscaled draw instead. A
// draw to the front of a software screen is shown in the window at once.
int BlitGraphStretchedSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t transFlag, int32_t intCoords,
                           HandleValue surface2D);

// A float corner as BlitGraphStretchedSoft takes it when intCoords is not 1.
inline int32_t StretchCoordFromFloat(float v) { return std::bit_cast<int32_t>(v); }

// The rectangles the DirectDraw road prepares for a stretched draw of a source of
// sourceWidth × sourceHeight onto the corners (x1, y1), (x2, y2): the destination rectangle in
// order and clipped to drawArea, and the part of the source the clipped rectangle reads
// (reflected on a mirrored axis, limited to the source). -1 when the rectangle has no width or
// height, the source is empty or a step would be 0; 1 when nothing of the rectangle lies inside
// the draw area (nothing to draw); else 0.
int GetStretchedSoftDrawRects(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                              int32_t sourceWidth, int32_t sourceHeight, const RECT& drawArea,
                              RECT* sourceRect, RECT* destRect);
