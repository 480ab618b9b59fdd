// What the input routines use of the window system: the message pump, the inactive-window
// wait, the window's state, the F10 flag of the private window message and the fatal-error
// exit. By default these are the window system's own (message_pump.h, WindowData,
// fatal_error.h); tests put stand-ins in their place.
#pragma once
#include <cstdint>

#include "platform/window/window.h"

struct InputHost {
    int (*processMessage)();       // one pump call; non-zero once the library is to end
    void (*waitWhileInactive)();   // the inactive-window wait
    int (*windowClosing)();        // non-zero once the library closes its window
    int (*windowActive)();         // non-zero while the window is active
    uint32_t (*mainThreadId)();    // the thread that started the library (0: not known)
    plat::WindowHandle (*libraryWindow)();
    int (*f10KeyHeld)();           // the flag that window message 0x46F sets and clears
    void (*fatalError)(const char* text);  // does not return; null: log only
};

// The window system's routines.
InputHost DefaultInputHost();
void SetInputHost(const InputHost& host);
// Back to DefaultInputHost().
void ResetInputHost();

int InputProcessMessage();
void InputWaitWhileInactive();
bool InputWindowClosing();
bool InputWindowActive();
// True on the library's main thread (and for every thread while it is not known).
bool InputOnMainThread();
plat::WindowHandle InputLibraryWindow();
bool InputF10KeyHeld();
// Hands the text to the fatal-error routine. Without one (tests) the text is logged and -1
// returned, and the caller ends what it started.
int InputFatalError(const char* text);
