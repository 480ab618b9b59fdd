// The mouse cursor's position in the library's screen coordinates.
#pragma once
#include <cstdint>

// The cursor position. Windowed: relative to the window's client area, divided by the window
// scale and rounded toward zero (so it counts screen-mode pixels; a position left of or above
// the client area is negative). Full screen: the screen's coordinates. Either output may be
// null. 0.
int GetMousePoint(int32_t* x, int32_t* y);
