// The window system as the input routines see it.
#include "system/input_host.h"

#include "platform/core/thread.h"

namespace {

int NoPump() { return 0; }
void NoWait() {}
int NotClosing() { return 0; }
int AlwaysActive() { return 1; }
uint32_t NoMainThread() { return 0; }
plat::WindowHandle NoWindow() { return 0; }
int F10NotHeld() { return 0; }

constexpr InputHost kAbsentInputHost = {
    .processMessage = NoPump,
    .waitWhileInactive = NoWait,
    .windowClosing = NotClosing,
    .windowActive = AlwaysActive,
    .mainThreadId = NoMainThread,
    .libraryWindow = NoWindow,
    .f10KeyHeld = F10NotHeld,
};

const InputHost& Host() { return *InputHostSlot(); }

}  // namespace

DriverSlot<InputHost>& InputHostSlot() {
    static DriverSlot<InputHost> slot(kAbsentInputHost);
    return slot;
}

int InputProcessMessage() { return Host().processMessage(); }

void InputWaitWhileInactive() { Host().waitWhileInactive(); }

bool InputWindowClosing() { return Host().windowClosing() != 0; }

bool InputWindowActive() { return Host().windowActive() != 0; }

bool InputOnMainThread() {
    const uint32_t main = Host().mainThreadId();
    return main == 0 || main == plat::CurrentThreadId();
}

plat::WindowHandle InputLibraryWindow() { return Host().libraryWindow(); }

bool InputF10KeyHeld() { return Host().f10KeyHeld() != 0; }
