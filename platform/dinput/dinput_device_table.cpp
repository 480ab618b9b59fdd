// The table of live input devices, their change notifications, and the pending set-up
// failures of the test controls.
#include <atomic>

#include "platform/dinput/dinput_internal.h"
#include "platform/core/thread.h"

namespace plat::dinput {

namespace {

constexpr int kCalls = static_cast<int>(DiFault::Count);
constexpr int kDeviceKinds = 3;
std::atomic<int> g_faults[kCalls][kDeviceKinds];

bool IsInterfaceCall(DiFault call) {
    return call == DiFault::CreateInterface7 || call == DiFault::CreateInterface8 ||
           call == DiFault::Initialize7 || call == DiFault::Initialize8;
}

int KindSlot(DiFault call, DeviceKind kind) {
    return IsInterfaceCall(call) ? 0 : static_cast<int>(kind);
}

}  // namespace

std::mutex& DeviceMutex() {
    static std::mutex* mutex = new std::mutex;  // lives until the process ends
    return *mutex;
}

std::vector<DeviceRecord*>& LiveDevicesLocked() {
    static auto* devices = new std::vector<DeviceRecord*>;
    return *devices;
}

void SignalDevices(DeviceKind kind, uint32_t padId) {
    std::lock_guard<std::mutex> hold(DeviceMutex());
    for (DeviceRecord* d : LiveDevicesLocked()) {
        if (d->kind != kind || d->event == nullptr) continue;
        if (kind == DeviceKind::Pad && padId != 0 && d->pad.id != padId) continue;
        SetEvent(d->event);
    }
}

bool ConsumeDiFault(DiFault call, DeviceKind kind) {
    std::atomic<int>& pending = g_faults[static_cast<int>(call)][KindSlot(call, kind)];
    int n = pending.load();
    while (n > 0) {
        if (pending.compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

void ResetDiFaults() {
    for (auto& call : g_faults) {
        for (auto& pending : call) pending.store(0);
    }
}

}  // namespace plat::dinput

namespace plat {

void FailNextDirectInputCalls(DiFault call, int count, InputDeviceKind kind) {
    dinput::DeviceKind device = dinput::DeviceKind::Pad;
    if (kind == InputDeviceKind::KeyboardDevice || kind == InputDeviceKind::KeyboardState) {
        device = dinput::DeviceKind::Keyboard;
    } else if (kind == InputDeviceKind::Mouse) {
        device = dinput::DeviceKind::Mouse;
    }
    if (call == DiFault::Count) return;
    dinput::g_faults[static_cast<int>(call)][dinput::KindSlot(call, device)].store(
        count < 0 ? 0 : count);
}

}  // namespace plat
