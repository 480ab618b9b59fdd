// What the input routines use of the window system: the message pump, the inactive-window wait,
// the window's state and the F10 flag of the private window message. Input runs only while the
// window system runs (it starts after it and ends before it).
#pragma once
#include <cstdint>

#include "platform/window/window.h"

// One pump call: 0, or non-zero once the library is to end.
int InputProcessMessage();
// The inactive-window wait.
void InputWaitWhileInactive();
// True once the library closes its window.
bool InputWindowClosing();
// True while the window is active.
bool InputWindowActive();
// True on the library's main thread (and for every thread while it is not known).
bool InputOnMainThread();
// The library window, 0 when there is none.
plat::WindowHandle InputLibraryWindow();
// The flag that window message 0x46F sets and clears.
bool InputF10KeyHeld();
