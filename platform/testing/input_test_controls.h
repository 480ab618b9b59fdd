// Test controls of the input devices (dinput.h, joystick.h, keyboard_state.h): the test
// backend's pads, keys and mouse buttons, failing and counting reads, lost devices, failing
// device set-up calls, and what the devices and their effects look like. Only tests use them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dinput/dinput_types.h"
#include "platform/window/window.h"

namespace plat {

// The kinds of input reads and devices.
enum class InputDeviceKind {
    KeyboardDevice,  // the keyboard device's reads
    KeyboardState,   // GetKeyboardState
    Mouse,           // the mouse device's reads
    Pad,             // joypad reads of either road
    Count
};

// Selects the test backend with no pads, forgets the counts and every pending failure. The
// window layer's key state is its own (ResetWindowTestControls clears it). Devices still
// alive stay alive.
void ResetInputTestControls();

// ---- the test backend's pads ----------------------------------------------------------------
struct TestPadSpec {
    std::string name = "Test Pad";  // UTF-8
    std::string productName = "Test Pad";
    int axes = 2;      // 0..8
    int buttons = 8;   // 0..32
    int hats = 0;      // 0..4
    bool forceFeedback = false;
};
// Attaches a pad after the ones attached (joystick ids follow the order); its id, or 0 when
// 16 pads are attached. Pads of the same product name are one product (a pad plugged in
// again is found by it).
uint32_t AttachTestPad(const TestPadSpec& spec = TestPadSpec{});
void DetachTestPad(uint32_t id);
// The instance guid the device-input interface lists for the pad (its CreateDevice argument).
DiGuid TestPadInstance(uint32_t id);
// Raw axis -32768..32767 (clamped), button down or up, hat as kHat* bits (input_backend.h:
// up 1, right 2, down 4, left 8). Each change sets the notification events of the pad's
// devices.
void SetTestPadAxis(uint32_t id, int axis, int32_t raw);
void SetTestPadButton(uint32_t id, int button, bool down);
void SetTestPadHat(uint32_t id, int hat, uint8_t bits);

// ---- keys and mouse buttons (the window layer's key state) ----------------------------------
// A virtual key or a mouse button (0 left, 1 right, 2 middle) goes down or up as if the
// desktop reported it, with no window message; the keyboard or mouse devices' events are set.
void SetTestKey(uint32_t virtualKey, bool down);
void SetTestMouseButton(int button, bool down);

// ---- reads ------------------------------------------------------------------------------------
// The next count reads of the kind fail (a device read then reports DIERR_INPUTLOST, a
// joystick read JOYERR_UNPLUGGED, GetKeyboardState false).
void FailNextInputReads(InputDeviceKind kind, int count);
// Reads of the kind made since the last reset (failed ones included).
uint64_t InputReadCount(InputDeviceKind kind);
// Every acquired device of the kind (KeyboardDevice, Mouse or Pad) loses its acquisition, as
// when another program takes the device: its next read reports DIERR_INPUTLOST.
void LoseInputDevices(InputDeviceKind kind);

// ---- set-up failures --------------------------------------------------------------------------
enum class DiFault {
    CreateInterface7,  // CreateDirectInput of version 7
    CreateInterface8,
    Initialize7,       // Initialize of a version-7 interface
    Initialize8,
    CreateDevice,      // the calls below concern devices of one kind
    DataFormat,
    CooperativeLevel,
    Range,
    DeadZone,
    BufferSize,
    EventNotification,
    Acquire,
    CreateEffect,
    Count
};
// The next count calls fail (with DIERR_GENERIC). kind: the device kind the call concerns
// (KeyboardDevice, Mouse or Pad; ignored for the interface calls).
void FailNextDirectInputCalls(DiFault call, int count,
                              InputDeviceKind kind = InputDeviceKind::Pad);

// ---- what the devices look like ----------------------------------------------------------------
struct TestDeviceRecord {
    DiGuid guid;              // GUID_SysKeyboard, GUID_SysMouse or the pad's instance
    uint32_t padId;           // 0 for the keyboard and the mouse
    bool acquired;
    uint32_t cooperativeFlags;
    WindowHandle window;
    uint32_t bufferSize;
    bool hasEvent;
};
std::vector<TestDeviceRecord> LiveInputDevices();

struct TestEffectRecord {
    DiEffect effect;
    bool playing;
    uint32_t starts;
    uint32_t stops;
    uint32_t lastIterations;
};
// The live effects made on the devices of this pad, in order of creation.
std::vector<TestEffectRecord> PadEffectRecords(uint32_t padId);

}  // namespace plat
