// What graphics reads of the window layer: the inactive wait, the window mode, where the
// screen lies on the desktop, the desktop's size, and the place that keeps the draw area as
// the caller asked for it. The window system supplies the driver while it runs; without it
// there is no window: no wait, full screen, no place on a desktop.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "softrender/records/rect.h"

struct WindowFactsDriver {
    // Holds the caller while the window is inactive; returns at once while it is active.
    void (*waitWhileInactive)();
    // Remembers the draw area exactly as the caller asked for it.
    void (*rememberDrawAreaRequest)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // 1 when the screen is a window rather than full screen.
    int (*isWindowed)();
    // The screen's rectangle in desktop coordinates: (0, 0, screen width, screen height)
    // moved to the window's client area. 0, or -1 when there is no window.
    int (*getScreenRectOnDesktop)(RECT* out);
    // The desktop's size in pixels. 0, or -1 when it is not known.
    int (*getDesktopSize)(int32_t* width, int32_t* height);
    // 1 once the library has been asked to end (drawing still queued is then dropped).
    int (*isQuitRequested)();
};

extern const WindowFactsDriver kAbsentWindowFacts;
DriverSlot<WindowFactsDriver>& WindowFactsSlot();
