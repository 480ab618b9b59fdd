// What the input routines use of the window system, as a driver: the message pump, the
// inactive-window wait, the window's state and the F10 flag of the private window message.
// The window system installs its own routines when it starts and resets the slot when it
// ends. The absent instance answers as a library without a window system: nothing to pump
// and no end asked for, no wait, no window, never closing, always active, no main thread
// known, F10 not held. Tests install stand-ins through the same slot.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "platform/window/window.h"

struct InputHost {
    int (*processMessage)();       // one pump call; non-zero once the library is to end
    void (*waitWhileInactive)();   // the inactive-window wait
    int (*windowClosing)();        // non-zero once the library closes its window
    int (*windowActive)();         // non-zero while the window is active
    uint32_t (*mainThreadId)();    // the thread that started the library (0: not known)
    plat::WindowHandle (*libraryWindow)();
    int (*f10KeyHeld)();           // the flag that window message 0x46F sets and clears
};

DriverSlot<InputHost>& InputHostSlot();

int InputProcessMessage();
void InputWaitWhileInactive();
bool InputWindowClosing();
bool InputWindowActive();
// True on the library's main thread (and for every thread while it is not known).
bool InputOnMainThread();
plat::WindowHandle InputLibraryWindow();
bool InputF10KeyHeld();
