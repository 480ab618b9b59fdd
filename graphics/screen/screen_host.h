// What the screen reads of the window layer above it: the library window, whether it is a
// window or full screen, its scale and place on the desktop, the menu, the background colour,
// the message pump and the inactive wait, the OS and processor facts, and the fitting of the
// window to a new screen mode.
//
// The library supplies the driver while graphics runs. Without it there is no window: full
// screen at scale 1.0, no place on a desktop, black background, a pump that never reports
// quit, no inactive wait.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "softrender/records/rect.h"
#include "platform/window/window.h"

struct ScreenHostDriver {
    // The library window, 0 when there is none.
    plat::WindowHandle (*window)();
    // 1 windowed, 0 full screen.
    int (*isWindowed)();
    // Client size = screen size x scale; 1.0 when unset.
    double (*windowScale)();
    // The window's client area in desktop coordinates. 0, or -1 without a window.
    int (*getWindowDrawRect)(RECT* out);
    // 1 when the window has a menu.
    int (*hasWindowMenu)();
    // The library's background colour, 0..255 each.
    void (*getBackgroundColor)(int32_t* r, int32_t* g, int32_t* b);
    // One pass of the message pump: 0, or -1 once the library is to end.
    int (*processMessage)();
    // Holds the caller while the window is inactive.
    void (*waitWhileInactive)();
    // The OS code of the system information (264: Windows Vista).
    int32_t (*osCode)();
    // 1 when the processor has MMX.
    int (*hasMmx)();
    // Fits the window (style, size and place) to the current screen mode.
    void (*applyWindowStyle)();
    // The desktop's size in pixels.
    void (*getDesktopSize)(int32_t* width, int32_t* height);
    // Ends the input devices, which were set up for the display that changed, and starts
    // them again when they were running.
    void (*restartInputDevices)();
};

extern const ScreenHostDriver kAbsentScreenHost;
DriverSlot<ScreenHostDriver>& ScreenHostSlot();

// Short forms used by the screen and by the draw target.
plat::WindowHandle ScreenWindow();
int ScreenIsWindowed();
void GetScreenBackgroundColor(int32_t* r, int32_t* g, int32_t* b);
