// The keyboard state by virtual key, as a whole: the window layer's key state (window.h) with
// the left-hand Shift, Ctrl and Alt keys set along with the generic ones (the window layer
// does not tell left from right, so the right-hand ones stay up).
#pragma once
#include <cstdint>

namespace plat {

inline constexpr uint32_t VK_LSHIFT = 0xA0;
inline constexpr uint32_t VK_RSHIFT = 0xA1;
inline constexpr uint32_t VK_LCONTROL = 0xA2;
inline constexpr uint32_t VK_RCONTROL = 0xA3;
inline constexpr uint32_t VK_LMENU = 0xA4;
inline constexpr uint32_t VK_RMENU = 0xA5;

// 256 bytes by virtual key, 0x80 while down (the mouse buttons too). False when the read
// failed (the test controls can make it fail); the buffer is then left as it was.
bool GetKeyboardState(uint8_t state[256]);

}  // namespace plat
