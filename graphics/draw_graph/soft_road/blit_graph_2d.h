// The unscaled graph draw on the 2D roads: the road of every sprite whose graph has no texture.
// On a software screen one software blit into the draw target's image; on a screen in
// DirectDraw surfaces one BltFast when nothing modulates the sprite, else the software blit
// between BeginSoftDraw and EndSoftDraw of the draw target.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

struct GraphRecord;

// Draws the 2D surface unscaled at (x, y). 0 (also when clipped away); -1 when no screen is
// up, the handle is invalid or BeginSoftDraw fails.
int BlitGraph2DCore(int32_t x, int32_t y, HandleValue surface2D, int32_t transFlag);
// The graph's own 2D surface at (x, y); intCoords other than 1: x and y are float bit
// patterns, rounded to the nearest integer.
int BlitGraph2D(int32_t x, int32_t y, const GraphRecord* graph, int32_t transFlag,
                int32_t intCoords);
