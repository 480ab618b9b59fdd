// The window half of library start-up and shut-down: the start-up reset of WindowData, the
// machine's measurements, the clock choice, the second-instance check, the window class, the
// window and the message-pump thread; and taking them down again.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "platform/window/window.h"

// The handling of the library window's messages, supplied by the library top (which installs
// it when it starts and resets the slot when it ends). The absent instance hands every message
// to the default window procedure.
struct WindowMessageDriver {
    plat::LResult (*handleMessage)(plat::WindowHandle window, uint32_t message,
                                   plat::WParam wParam, plat::LParam lParam);
};
DriverSlot<WindowMessageDriver>& WindowMessageSlot();

// 0, or -1 (quit flag set) when another instance runs, the class cannot be registered or the
// window cannot be created.
int InitWindowSystem();
// Closes and destroys the window, ends the pump thread. Returns 0.
int TermWindowSystem();

// Makes the window the foreground window and, with topmost 1, places it above all windows
// that are not topmost.
void BringWindowToForeground(plat::WindowHandle window, int topmost);
