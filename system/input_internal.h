// Internal to the input routines: the polls and helpers their files share.
#pragma once
#include <cstdint>

#include "platform/dinput/dinput_types.h"

struct InputPadRecord;

// Runs the inactive-window wait; then, when input is not started and the window is not
// closing, starts it and gives the start-up's result. True when input was started here (the
// caller then reads nothing).
bool StartInputForRead(int* result);

// Brings the key snapshot up to date.
void PollKeyboard();
// Brings the state of pad index (0-based) up to date. 0; -1 for an index of 8 or more, or
// when the message pump reported quit during a re-read.
int PollPad(int index);

// A raw joystick-function axis value 0..65535 as -1000..1000 (about a quarter of the way
// either side of the centre reads 0).
int32_t MapJoystickAxis(uint32_t raw);
// A cleared pad state: axes and buttons 0, hats centred.
void ClearPadState(plat::DiJoyState* state);

// Switches the vibration of pad index off (request 0, power 10000) and brings the effects in
// line, without the inactive-window wait.
void StopPadVibration(int index);
// Stops, unacquires and releases every pad's effects, device and event; the pad count is 0.
void ReleasePads();

// The key table: virtual key to device key code, in two groups. The keyboard poll lays group 1
// over the device's snapshot; without a keyboard device it copies both.
struct VirtualKeyRow {
    uint8_t virtualKey;
    uint8_t dik;
};
extern const VirtualKeyRow kKeyTableGroup1[];
extern const int kKeyTableGroup1Size;
extern const VirtualKeyRow kKeyTableGroup2[];
extern const int kKeyTableGroup2Size;
