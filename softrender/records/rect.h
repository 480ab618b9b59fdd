// A rectangle of pixels (left and top inclusive, right and bottom exclusive) and the routines
// that every draw path and software kernel clips with.
#pragma once
#include <cstdint>

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Clips rect to bound in place. An inverted rectangle collapses to zero width or height at its
// left or top edge (it is not swapped); a rectangle outside bound ends empty on bound's edge.
int ClipRectInPlace(RECT* rect, const RECT* bound);
// Puts the corners in order: left <= right, top <= bottom.
int NormalizeRect(RECT* rect);
int GetRectSize(const RECT* rect, int32_t* width, int32_t* height);
