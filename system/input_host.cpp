// The window system as the input routines see it.
#include "system/input_host.h"

#include "platform/core/thread.h"
#include "library/fatal_error.h"
#include "base/log.h"
#include "system/message_pump.h"
#include "system/window_data.h"

namespace {

int WindowClosing() { return GetWindowData().window.closing != 0 ? 1 : 0; }
int WindowActive() { return GetWindowData().window.active != 0 ? 1 : 0; }
uint32_t MainThreadId() { return GetWindowData().window.mainThreadId; }
plat::WindowHandle LibraryWindow() { return GetWindowData().window.handle; }
int F10KeyHeld() { return GetWindowData().window.f10KeyHeld != 0 ? 1 : 0; }

InputHost& Host() {
    static InputHost host = DefaultInputHost();
    return host;
}

}  // namespace

InputHost DefaultInputHost() {
    return InputHost{ProcessMessage, WaitWhileInactive, WindowClosing, WindowActive,
                     MainThreadId,   LibraryWindow,     F10KeyHeld,    FatalError};
}

void SetInputHost(const InputHost& host) { Host() = host; }

void ResetInputHost() { Host() = DefaultInputHost(); }

int InputProcessMessage() { return Host().processMessage != nullptr ? Host().processMessage() : 0; }

void InputWaitWhileInactive() {
    if (Host().waitWhileInactive != nullptr) Host().waitWhileInactive();
}

bool InputWindowClosing() {
    return Host().windowClosing != nullptr && Host().windowClosing() != 0;
}

bool InputWindowActive() { return Host().windowActive == nullptr || Host().windowActive() != 0; }

bool InputOnMainThread() {
    const uint32_t main = Host().mainThreadId != nullptr ? Host().mainThreadId() : 0;
    return main == 0 || main == plat::CurrentThreadId();
}

plat::WindowHandle InputLibraryWindow() {
    return Host().libraryWindow != nullptr ? Host().libraryWindow() : 0;
}

bool InputF10KeyHeld() { return Host().f10KeyHeld != nullptr && Host().f10KeyHeld() != 0; }

int InputFatalError(const char* text) {
    if (Host().fatalError != nullptr) Host().fatalError(text);
    LogWrite(text);
    LogWrite("\n");
    return -1;
}
