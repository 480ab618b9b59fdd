// The input devices' side that the headless backend and the test controls reach: the kinds of
// reads and devices, the headless backend's pads (attached and moved only from outside: a
// headless run never sees the machine's pads), failing and counting reads, failing device
// set-up calls, and the records that show the devices and their effects.
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

// ---- reads ------------------------------------------------------------------------------------
// The next count reads of the kind fail (a device read then reports DIERR_INPUTLOST, a
// joystick read JOYERR_UNPLUGGED, GetKeyboardState false).
void FailNextInputReads(InputDeviceKind kind, int count);
// Reads of the kind made since the last reset (failed ones included).
uint64_t InputReadCount(InputDeviceKind kind);

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

struct TestEffectRecord {
    DiEffect effect;
    bool playing;
    uint32_t starts;
    uint32_t stops;
    uint32_t lastIterations;
};

}  // namespace plat
