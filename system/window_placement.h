// The shape of the library window for the window mode: the style pair, the size (screen size
// times the window scale) and the place of a windowed or full-screen window, and fitting the
// window to a new screen mode.
#pragma once
#include <cstdint>

#include "platform/window/window.h"

// Client size = screen size x scale in windowed mode. A scale of 0.0 is stored as 1.0 and read
// so.
double GetWindowScale();

// The top-left corner of a windowed window of the given outer size: centred on the desktop
// (halves rounded toward zero), or the set position when its use flag is 1.
plat::Point WindowedWindowOrigin(int32_t desktopWidth, int32_t desktopHeight, int32_t windowWidth,
                                 int32_t windowHeight);

// Gives the window the style, size and place of the current window mode. Full screen: the
// full-screen style pair, (0, 0) with the screen size, above other windows, cursor hidden.
// Windowed: the windowed style pair with its extras, the scaled size centred on the desktop
// (or at the set position) and moved so that its client area starts on the desktop, no longer
// above other windows, cursor shown. Then the window is activated. Nothing without a window.
// 0.
int ApplyWindowModeStyle();

// Sizes the window to the screen mode (client = screen size x scale; scale 1.0 in full screen)
// keeping its top-left corner and its frame. In windowed mode the style is applied once, the
// first time. 0.
int FitWindowToScreen();
