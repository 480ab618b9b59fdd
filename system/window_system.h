// The window half of library start-up and shut-down: the start-up reset of WindowData, the
// machine's measurements, the clock choice, the second-instance check, the window class, the
// window and the message-pump thread; and taking them down again.
#pragma once
#include "platform/window/window.h"

// 0, or -1 (quit flag set) when another instance runs, the class cannot be registered or the
// window cannot be created.
int InitWindowSystem();
// Closes and destroys the window, ends the pump thread. Returns 0.
int TermWindowSystem();

// Makes the window the foreground window and, with topmost 1, places it above all windows
// that are not topmost.
void BringWindowToForeground(plat::WindowHandle window, int topmost);
