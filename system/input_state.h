// The input devices' global state: one block, zeroed at start-up except the settings made
// before it.
#pragma once
#include <cstdint>

#include "platform/dinput/dinput.h"

namespace plat {
struct Event;
}

inline constexpr int kMaxPads = 8;

struct InputPadRecord {
    plat::DirectInputDevice* device = nullptr;
    plat::DirectInputEffect* periodicEffect = nullptr;  // a sine wave
    plat::DirectInputEffect* constantEffect = nullptr;  // a constant force
    plat::Event* event = nullptr;                       // set by the device on a change
    plat::DiJoyState state{};
    uint32_t hasZAndR = 0;       // joystick road: Z and R are read
    uint32_t lastPollTime = 0;   // milliseconds
    int32_t vibrationRequest = 0;  // 0 off, 1 on
    int32_t vibrationPower = 0;    // 0..10000
    int32_t playTime = 0;          // milliseconds; negative: endless
    int32_t elapsedPlayTime = 0;
    uint32_t lastTimerStep = 0;
    uint32_t periodicPlaying = 0;
    uint32_t constantPlaying = 0;
    char instanceName[260] = {};  // Shift-JIS
    char productName[260] = {};
};

struct InputState {
    // Settings, kept across start-up.
    uint32_t noDirectInput = 0;               // 1: the device-input interface is not tried
    uint32_t keyboardWithoutDirectInput = 0;  // 1: no keyboard device

    uint32_t started = 0;       // 1 once started (with or without the interface)
    uint32_t directInput8 = 0;  // 1 when the interface is version 8
    plat::DirectInput* directInput = nullptr;  // null: joystick road
    plat::DirectInputDevice* mouse = nullptr;
    plat::DirectInputDevice* keyboard = nullptr;
    plat::Event* keyboardEvent = nullptr;
    uint32_t keyboardPollTime = 0;  // milliseconds
    uint8_t keyStates[256] = {};    // by device key code, bit 7 set while down
    uint32_t overlayOff = 0;        // 1: the keyboard poll does not lay the key state over it
    int32_t padCount = 0;
    InputPadRecord pads[kMaxPads];
};

InputState& GetInputState();
