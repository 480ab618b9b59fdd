// The device objects of the device-input interface: set-up, acquisition and whole-state
// reads of the keyboard, the mouse and the joypads.
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/dinput/dinput_internal.h"
#include "platform/core/text_encoding.h"

namespace plat::dinput {

namespace {

uint32_t StateSize(DiDataFormat format) {
    switch (format) {
        case DiDataFormat::Keyboard: return kDiKeyboardStateSize;
        case DiDataFormat::Mouse2: return sizeof(DiMouseState2);
        case DiDataFormat::Joystick: return sizeof(DiJoyState);
    }
    return 0;
}

DiDataFormat FormatOfKind(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard: return DiDataFormat::Keyboard;
        case DeviceKind::Mouse: return DiDataFormat::Mouse2;
        case DeviceKind::Pad: return DiDataFormat::Joystick;
    }
    return DiDataFormat::Keyboard;
}

bool OneOf(uint32_t flags, uint32_t a, uint32_t b) {
    return ((flags & a) != 0) != ((flags & b) != 0);
}

// The slots an axis property names: every axis of the pad, or one by its offset.
bool AxisSlotsOf(const DeviceRecord& d, uint32_t how, uint32_t object, std::vector<int>* slots) {
    for (int i = 0; i < d.pad.axisCount && i < kMaxPadAxes; ++i) {
        const int slot = AxisSlotOfPadAxis(i);
        if (how == DIPH_DEVICE || (how == DIPH_BYOFFSET && object == static_cast<uint32_t>(slot) * 4)) {
            slots->push_back(slot);
        }
    }
    return !slots->empty();
}

class Device final : public DirectInputDevice {
public:
    explicit Device(DeviceRecord* record) : d_(record) {}

    DiResult SetDataFormat(DiDataFormat format) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DIERR_ACQUIRED;
        if (ConsumeDiFault(DiFault::DataFormat, d_->kind)) return DIERR_GENERIC;
        if (format != FormatOfKind(d_->kind)) return DIERR_INVALIDPARAM;
        d_->format = format;
        d_->formatSet = true;
        return DI_OK;
    }

    DiResult SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DIERR_ACQUIRED;
        if (ConsumeDiFault(DiFault::CooperativeLevel, d_->kind)) return DIERR_GENERIC;
        if (!OneOf(flags, DISCL_EXCLUSIVE, DISCL_NONEXCLUSIVE) ||
            !OneOf(flags, DISCL_FOREGROUND, DISCL_BACKGROUND) || !IsWindow(window)) {
            return DIERR_INVALIDPARAM;
        }
        d_->cooperativeFlags = flags;
        d_->window = window;
        return DI_OK;
    }

    DiResult SetRange(uint32_t how, uint32_t object, int32_t min, int32_t max) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->kind != DeviceKind::Pad) return DIERR_UNSUPPORTED;
        if (ConsumeDiFault(DiFault::Range, d_->kind)) return DIERR_GENERIC;
        if (min >= max) return DIERR_INVALIDPARAM;
        std::vector<int> slots;
        if (!AxisSlotsOf(*d_, how, object, &slots)) return DIERR_OBJECTNOTFOUND;
        for (int slot : slots) {
            d_->axes[slot].min = min;
            d_->axes[slot].max = max;
        }
        return DI_OK;
    }

    DiResult SetDeadZone(uint32_t how, uint32_t object, uint32_t deadZone) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->kind != DeviceKind::Pad) return DIERR_UNSUPPORTED;
        if (ConsumeDiFault(DiFault::DeadZone, d_->kind)) return DIERR_GENERIC;
        if (deadZone > 10000) return DIERR_INVALIDPARAM;
        std::vector<int> slots;
        if (!AxisSlotsOf(*d_, how, object, &slots)) return DIERR_OBJECTNOTFOUND;
        for (int slot : slots) d_->axes[slot].deadZone = deadZone;
        return DI_OK;
    }

    DiResult SetBufferSize(uint32_t entries) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DIERR_ACQUIRED;
        if (ConsumeDiFault(DiFault::BufferSize, d_->kind)) return DIERR_GENERIC;
        d_->bufferSize = entries;
        return DI_OK;
    }

    DiResult SetEventNotification(Event* event) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DIERR_ACQUIRED;
        if (ConsumeDiFault(DiFault::EventNotification, d_->kind)) return DIERR_GENERIC;
        d_->event = event;
        return DI_OK;
    }

    DiResult Acquire() override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DI_NOEFFECT;
        if (!d_->formatSet) return DIERR_INVALIDPARAM;
        if (ConsumeDiFault(DiFault::Acquire, d_->kind)) return DIERR_GENERIC;
        if (d_->kind == DeviceKind::Pad && !FindPadAgainLocked()) return DIERR_UNPLUGGED;
        d_->acquired = true;
        d_->lost = false;
        d_->cursorKnown = false;
        return DI_OK;
    }

    DiResult Unacquire() override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        d_->lost = false;
        if (!d_->acquired) return DI_NOEFFECT;
        d_->acquired = false;
        return DI_OK;
    }

    DiResult Poll() override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->acquired) return DI_NOEFFECT;
        return NotAcquiredLocked();
    }

    DiResult GetDeviceState(uint32_t size, void* data) override {
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (data == nullptr || !d_->formatSet || size != StateSize(d_->format)) {
            return DIERR_INVALIDPARAM;
        }
        if (!d_->acquired) return NotAcquiredLocked();
        bool read = false;
        switch (d_->kind) {
            case DeviceKind::Keyboard: read = ReadKeyboardLocked(static_cast<uint8_t*>(data)); break;
            case DeviceKind::Mouse: read = ReadMouseLocked(static_cast<DiMouseState2*>(data)); break;
            case DeviceKind::Pad: read = ReadPadLocked(static_cast<DiJoyState*>(data)); break;
        }
        if (!read) {
            d_->acquired = false;
            return DIERR_INPUTLOST;
        }
        return DI_OK;
    }

    DiResult GetDeviceInfo(DiDeviceInstance* out) override {
        if (out == nullptr) return DIERR_INVALIDPARAM;
        std::lock_guard<std::mutex> hold(DeviceMutex());
        *out = DiDeviceInstance{};
        out->instance = d_->guid;
        out->product = d_->kind == DeviceKind::Pad ? d_->pad.product : d_->guid;
        out->deviceType = d_->kind == DeviceKind::Keyboard ? DIDEVTYPE_KEYBOARD
                          : d_->kind == DeviceKind::Mouse  ? DIDEVTYPE_MOUSE
                                                           : DIDEVTYPE_JOYSTICK;
        const std::string name = d_->kind == DeviceKind::Keyboard ? "Keyboard"
                                 : d_->kind == DeviceKind::Mouse  ? "Mouse"
                                                                  : d_->pad.name;
        const std::string product = d_->kind == DeviceKind::Pad ? d_->pad.productName : name;
        CopyName(out->instanceName, name);
        CopyName(out->productName, product);
        return DI_OK;
    }

    DiResult CreateEffect(const DiEffect& effect, DirectInputEffect** out) override {
        if (out == nullptr) return DIERR_INVALIDPARAM;
        *out = nullptr;
        std::lock_guard<std::mutex> hold(DeviceMutex());
        if (d_->kind != DeviceKind::Pad || !d_->pad.forceFeedback) return DIERR_UNSUPPORTED;
        if (ConsumeDiFault(DiFault::CreateEffect, d_->kind)) return DIERR_GENERIC;
        if (effect.axisCount < 1 || effect.axisCount > 2 ||
            static_cast<int>(effect.axisCount) > d_->pad.axisCount) {
            return DIERR_INVALIDPARAM;
        }
        auto record = std::make_shared<EffectRecord>();
        record->view.effect = effect;
        record->device = d_;
        d_->effects.push_back(record);
        *out = NewEffect(record);
        return DI_OK;
    }

    uint32_t Release() override {
        {
            std::lock_guard<std::mutex> hold(DeviceMutex());
            std::vector<DeviceRecord*>& live = LiveDevicesLocked();
            live.erase(std::remove(live.begin(), live.end(), d_), live.end());
            for (const auto& effect : d_->effects) {
                effect->device = nullptr;
                effect->view.playing = false;
            }
            delete d_;
        }
        delete this;
        return 0;
    }

private:
    static void CopyName(char (&out)[260], const std::string& utf8) {
        const std::string sjis = Utf8ToSjis(utf8);
        std::snprintf(out, sizeof(out), "%s", sjis.c_str());
    }

    DiResult NotAcquiredLocked() {
        if (d_->lost) {
            d_->lost = false;
            return DIERR_INPUTLOST;
        }
        return DIERR_NOTACQUIRED;
    }

    // The pad is attached, or another of its product that no other device holds is taken
    // in its place (a pad plugged in again).
    bool FindPadAgainLocked() {
        PadDescription now;
        if (DescribePad(d_->pad.id, &now)) {
            d_->pad = now;
            return true;
        }
        std::vector<uint32_t> taken;
        for (DeviceRecord* other : LiveDevicesLocked()) {
            if (other != d_ && other->kind == DeviceKind::Pad) taken.push_back(other->pad.id);
        }
        const uint32_t id = FindPadOfProduct(d_->pad.product, taken);
        if (id == 0 || !DescribePad(id, &now)) return false;
        d_->pad = now;
        return true;
    }

    bool ReadKeyboardLocked(uint8_t* state) {
        uint8_t keys[256];
        if (!ReadVirtualKeys(InputDeviceKind::KeyboardDevice, keys)) return false;
        FillKeyboardState(keys, state);
        return true;
    }

    bool ReadMouseLocked(DiMouseState2* state) {
        uint8_t keys[256];
        if (!ReadVirtualKeys(InputDeviceKind::Mouse, keys)) return false;
        *state = DiMouseState2{};
        Point cursor{0, 0};
        if (GetCursorPos(&cursor)) {
            if (d_->cursorKnown) {
                state->lX = cursor.x - d_->lastCursor.x;
                state->lY = cursor.y - d_->lastCursor.y;
            }
            d_->lastCursor = cursor;
            d_->cursorKnown = true;
        }
        state->rgbButtons[0] = keys[VK_LBUTTON] & 0x80;
        state->rgbButtons[1] = keys[VK_RBUTTON] & 0x80;
        state->rgbButtons[2] = keys[VK_MBUTTON] & 0x80;
        return true;
    }

    bool ReadPadLocked(DiJoyState* state) {
        RawPadState raw;
        if (!ReadPadState(d_->pad.id, &raw)) return false;
        FillJoyState(raw, d_->pad, d_->axes, state);
        return true;
    }

    DeviceRecord* d_;
};

}  // namespace

DirectInputDevice* NewDevice(DeviceKind kind, const DiGuid& guid, const PadDescription& pad) {
    auto* record = new DeviceRecord;
    record->kind = kind;
    record->guid = guid;
    record->pad = pad;
    std::lock_guard<std::mutex> hold(DeviceMutex());
    LiveDevicesLocked().push_back(record);
    return new Device(record);
}

}  // namespace plat::dinput
