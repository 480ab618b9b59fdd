// The devices after a window activation change.
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_state.h"

int ReacquireInputDevices() {
    InputState& s = GetInputState();
    if (s.directInput == nullptr) return 0;
    const uint32_t level = InputWindowActive()
                               ? plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND
                               : plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND;
    const plat::WindowHandle window = InputLibraryWindow();
    for (int i = 0; i < s.padCount; ++i) {
        plat::DirectInputDevice* device = s.pads[i].device;
        if (device == nullptr) continue;
        device->Unacquire();
        device->SetCooperativeLevel(window, level);
        device->Acquire();
    }
    if (s.keyboard != nullptr) {
        s.keyboard->Unacquire();
        s.keyboard->Acquire();
    }
    return 0;
}
