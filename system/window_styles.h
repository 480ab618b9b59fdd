// The window style pairs of the seven style modes, for windowed and full-screen windows.
#pragma once
#include <cstdint>

struct WindowStylePair {
    uint32_t style;
    uint32_t exStyle;
};

constexpr uint32_t kWindowStyleModes = 7;

// The windowed pair of the style mode in WindowSettings, with the extras: WS_MAXIMIZEBOX with
// the mode-change switch, WS_VISIBLE once the style was applied, WS_THICKFRAME when resizable,
// WS_EX_TRANSPARENT for a hidden window. A mode out of range reads as mode 0.
WindowStylePair GetWindowedStyle();
// The full-screen pair of the style mode.
WindowStylePair GetFullScreenStyle();
