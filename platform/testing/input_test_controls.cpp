// Test controls of the input devices: reset, keys and mouse buttons, lost devices, and the
// views of the live devices and their effects. (The pads are the test backend's,
// headless_input_backend.cpp; read counts and failures are input_backend.cpp's; set-up failures
// dinput_device_table.cpp's.)
#include "platform/testing/input_test_controls.h"

#include "platform/dinput/dinput_internal.h"
#include "platform/dinput/input_backend.h"
#include "platform/window/window_route.h"

namespace plat {

void ResetInputTestControls() {
    UseTestInputBackend();
    ResetTestPads();
    ResetInputReads();
    dinput::ResetDiFaults();
}

void SetTestKey(uint32_t virtualKey, bool down) {
    // The route keeps the key state; with no window no message is posted.
    RouteKey(0, virtualKey, down, false);
    dinput::SignalDevices(dinput::DeviceKind::Keyboard);
}

void SetTestMouseButton(int button, bool down) {
    RouteMouseButton(0, button, down);
    dinput::SignalDevices(dinput::DeviceKind::Mouse);
}

void LoseInputDevices(InputDeviceKind kind) {
    dinput::DeviceKind device = dinput::DeviceKind::Pad;
    if (kind == InputDeviceKind::KeyboardDevice) device = dinput::DeviceKind::Keyboard;
    if (kind == InputDeviceKind::Mouse) device = dinput::DeviceKind::Mouse;
    if (kind == InputDeviceKind::KeyboardState) return;
    std::lock_guard<std::mutex> hold(dinput::DeviceMutex());
    for (dinput::DeviceRecord* d : dinput::LiveDevicesLocked()) {
        if (d->kind != device || !d->acquired) continue;
        d->acquired = false;
        d->lost = true;
        if (d->event != nullptr) SetEvent(d->event);
    }
}

std::vector<TestDeviceRecord> LiveInputDevices() {
    std::lock_guard<std::mutex> hold(dinput::DeviceMutex());
    std::vector<TestDeviceRecord> out;
    for (const dinput::DeviceRecord* d : dinput::LiveDevicesLocked()) {
        out.push_back(TestDeviceRecord{d->guid, d->kind == dinput::DeviceKind::Pad ? d->pad.id : 0,
                                       d->acquired, d->cooperativeFlags, d->window,
                                       d->bufferSize, d->event != nullptr});
    }
    return out;
}

std::vector<TestEffectRecord> PadEffectRecords(uint32_t padId) {
    std::lock_guard<std::mutex> hold(dinput::DeviceMutex());
    std::vector<TestEffectRecord> out;
    for (const dinput::DeviceRecord* d : dinput::LiveDevicesLocked()) {
        if (d->kind != dinput::DeviceKind::Pad || d->pad.id != padId) continue;
        for (const auto& effect : d->effects) out.push_back(effect->view);
    }
    return out;
}

}  // namespace plat
