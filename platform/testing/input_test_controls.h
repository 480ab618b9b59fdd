// Test controls of the input devices (dinput.h, joystick.h, keyboard_state.h): reset, keys and
// mouse buttons, lost devices, and what the devices and their effects look like. Only tests
// use them. The headless backend's pads, failing and counting reads and failing set-up calls
// come with them (input_injection.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dinput/dinput_types.h"
#include "platform/dinput/input_injection.h"
#include "platform/window/window.h"

namespace plat {

// Selects the test backend with no pads, forgets the counts and every pending failure. The
// window layer's key state is its own (ResetWindowTestControls clears it). Devices still
// alive stay alive.
void ResetInputTestControls();

// ---- keys and mouse buttons (the window layer's key state) ----------------------------------
// A virtual key or a mouse button (0 left, 1 right, 2 middle) goes down or up as if the
// desktop reported it, with no window message; the keyboard or mouse devices' events are set.
void SetTestKey(uint32_t virtualKey, bool down);
void SetTestMouseButton(int button, bool down);

// ---- reads ------------------------------------------------------------------------------------
// Every acquired device of the kind (KeyboardDevice, Mouse or Pad) loses its acquisition, as
// when another program takes the device: its next read reports DIERR_INPUTLOST.
void LoseInputDevices(InputDeviceKind kind);

// ---- what the devices look like ----------------------------------------------------------------
std::vector<TestDeviceRecord> LiveInputDevices();

// The live effects made on the devices of this pad, in order of creation.
std::vector<TestEffectRecord> PadEffectRecords(uint32_t padId);

}  // namespace plat
