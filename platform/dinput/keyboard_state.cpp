// The whole keyboard state by virtual key.
#include "platform/dinput/keyboard_state.h"

#include <cstring>

#include "platform/dinput/input_backend.h"
#include "platform/window/window_messages.h"

namespace plat {

bool GetKeyboardState(uint8_t state[256]) {
    uint8_t keys[256];
    if (!ReadVirtualKeys(InputDeviceKind::KeyboardState, keys)) return false;
    keys[VK_LSHIFT] |= keys[VK_SHIFT];
    keys[VK_LCONTROL] |= keys[VK_CONTROL];
    keys[VK_LMENU] |= keys[VK_MENU];
    std::memcpy(state, keys, sizeof(keys));
    return true;
}

}  // namespace plat
