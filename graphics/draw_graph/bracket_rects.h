// The bracket rectangle of each core graph draw: the part of the draw target a draw may touch,
// handed to the mask screen, inverted by the subtract emulation and repainted to the window
// for a software screen's front. Right and bottom exclusive.
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"

// At a point: (x, y, x + width, y + height).
RECT BracketAt(int32_t x, int32_t y, int32_t width, int32_t height);
// Stretched: the two corners put in order.
RECT BracketStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Rotated: the software kernel's corner box (GetRotatedCornerBox, the angle and scale as
// floats) of the graph about (x, y) rounded to the nearest, widened by 5 pixels on every side
// within the 32-bit range; the whole range when the kernel has no corners for it.
RECT BracketRotated(float x, float y, double scale, double angle, int32_t width,
                    int32_t height);
// Four corners: each coordinate rounded; left and top the least of them and 0xFFFFFF, right
// and bottom the greatest of them and 0, with no widening.
RECT BracketQuad(const float (&corners)[8]);
