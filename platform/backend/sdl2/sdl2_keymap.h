// Internal to the platform layer: SDL scancodes to virtual keys (by key position).
#pragma once
#include <SDL.h>

#include <cstdint>

namespace plat {

// The virtual key of a physical key, 0 for keys without one.
uint32_t VirtualKeyFromScancode(SDL_Scancode scancode);

}  // namespace plat
