// The window system as the input routines see it.
#include "system/input_host.h"

#include "platform/core/thread.h"
#include "system/message_pump.h"
#include "system/window_data.h"

int InputProcessMessage() { return ProcessMessage(); }

void InputWaitWhileInactive() { WaitWhileInactive(); }

bool InputWindowClosing() { return GetWindowData().window.closing != 0; }

bool InputWindowActive() { return GetWindowData().window.active != 0; }

bool InputOnMainThread() {
    const uint32_t main = GetWindowData().window.mainThreadId;
    return main == 0 || main == plat::CurrentThreadId();
}

plat::WindowHandle InputLibraryWindow() { return GetWindowData().window.handle; }

bool InputF10KeyHeld() { return GetWindowData().window.f10KeyHeld != 0; }
