// Internal to the platform layer: the device records behind dinput.h, the table of live
// devices, and the helpers that turn the backend's states into device states.
//
// One mutex guards the device table and every device and effect record; it is taken by each
// device call and never held while the window layer's or the backend's own locks wait on it
// (they are taken inside it, never the other way round).
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dinput/dinput.h"
#include "platform/dinput/input_backend.h"
#include "platform/dinput/input_injection.h"
#include "platform/core/thread.h"

namespace plat::dinput {

enum class DeviceKind { Keyboard, Mouse, Pad };

// Range and dead zone of one joypad axis.
struct AxisSetting {
    int32_t min = 0;
    int32_t max = 65535;
    uint32_t deadZone = 0;  // 0..10000 of the half range
};
// DiJoyState's eight axes (X, Y, Z, Rx, Ry, Rz, two sliders) by DIJOFS_* / 4.
inline constexpr int kAxisSlots = 8;

struct DeviceRecord;

// An effect as the test controls see it; shared by the effect object and its device.
struct EffectRecord {
    TestEffectRecord view{};
    DeviceRecord* device = nullptr;  // null once the device is released
};

struct DeviceRecord {
    DeviceKind kind = DeviceKind::Keyboard;
    DiGuid guid{};
    PadDescription pad;  // joypads: the pad this device reads (its id changes on a re-plug)
    bool formatSet = false;
    DiDataFormat format = DiDataFormat::Keyboard;
    uint32_t cooperativeFlags = 0;
    WindowHandle window = 0;
    uint32_t bufferSize = 0;
    Event* event = nullptr;
    bool acquired = false;
    bool lost = false;  // unacquired by a failed read or by the test controls: say so once
    AxisSetting axes[kAxisSlots];
    Point lastCursor{0, 0};
    bool cursorKnown = false;
    std::vector<std::shared_ptr<EffectRecord>> effects;
};

std::mutex& DeviceMutex();
// The live devices (under DeviceMutex).
std::vector<DeviceRecord*>& LiveDevicesLocked();

// Sets the notification events of the live devices of the kind; for joypads only those of
// the pad id. Takes DeviceMutex.
void SignalDevices(DeviceKind kind, uint32_t padId = 0);
// True when the test controls made this call of this kind of device fail.
bool ConsumeDiFault(DiFault call, DeviceKind kind);
void ResetDiFaults();

// Makes a device record of the kind and wraps it in a device object.
DirectInputDevice* NewDevice(DeviceKind kind, const DiGuid& guid, const PadDescription& pad);
DirectInputEffect* NewEffect(const std::shared_ptr<EffectRecord>& record);

// ---- states -------------------------------------------------------------------------------
// The keyboard state (256 bytes by device key code) from the virtual-key state.
void FillKeyboardState(const uint8_t virtualKeys[256], uint8_t state[256]);
// One raw axis value through a range and a dead zone.
int32_t MapAxis(int16_t raw, const AxisSetting& setting);
// The slot (DIJOFS_* / 4) of the pad's axis number i.
int AxisSlotOfPadAxis(int i);
// The joypad state from the raw state.
void FillJoyState(const RawPadState& raw, const PadDescription& pad,
                  const AxisSetting axes[kAxisSlots], DiJoyState* out);
// A hat's SDL bits as hundredths of a degree clockwise from up (0xFFFFFFFF centred).
uint32_t PovFromHat(uint8_t bits);

}  // namespace plat::dinput
