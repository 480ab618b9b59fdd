// The mouse buttons.
#include "platform/dinput/keyboard_state.h"
#include "platform/window/window_messages.h"
#include "system/input.h"
#include "system/input_state.h"

int GetMouseButtons() {
    const InputState& s = GetInputState();
    if (s.directInput != nullptr && s.mouse != nullptr) {
        // The mouse is acquired by its first read.
        plat::DiMouseState2 state;
        plat::DiResult result = s.mouse->GetDeviceState(sizeof(state), &state);
        if (plat::DiFailed(result)) {
            s.mouse->Acquire();
            result = s.mouse->GetDeviceState(sizeof(state), &state);
        }
        if (plat::DiFailed(result)) return 0;
        int buttons = 0;
        for (int k = 0; k < 8; ++k) {
            if ((state.rgbButtons[k] & 0x80) != 0) buttons |= 1 << k;
        }
        return buttons;
    }
    uint8_t keys[256];
    if (!plat::GetKeyboardState(keys)) return 0;
    int buttons = 0;
    if ((keys[plat::VK_LBUTTON] & 0x80) != 0) buttons |= 1;
    if ((keys[plat::VK_RBUTTON] & 0x80) != 0) buttons |= 2;
    if ((keys[plat::VK_MBUTTON] & 0x80) != 0) buttons |= 4;
    return buttons;
}
