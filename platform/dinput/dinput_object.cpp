// The input object: made as interface version 7 or 8, initialised, it lists the attached
// joypads and makes devices.
#include <cstdio>

#include "platform/dinput/dinput_internal.h"
#include "platform/core/text_encoding.h"

namespace plat {

namespace {

using dinput::DeviceKind;

void CopyName(char (&out)[260], const std::string& utf8) {
    std::snprintf(out, sizeof(out), "%s", Utf8ToSjis(utf8).c_str());
}

DiDeviceInstance InstanceOfPad(const PadDescription& pad) {
    DiDeviceInstance instance{};
    instance.instance = pad.instance;
    instance.product = pad.product;
    instance.deviceType = DIDEVTYPE_JOYSTICK;
    CopyName(instance.instanceName, pad.name);
    CopyName(instance.productName, pad.productName);
    return instance;
}

DiDeviceInstance InstanceOfSystemDevice(const DiGuid& guid, uint32_t type, const char* name) {
    DiDeviceInstance instance{};
    instance.instance = guid;
    instance.product = guid;
    instance.deviceType = type;
    CopyName(instance.instanceName, name);
    CopyName(instance.productName, name);
    return instance;
}

class Object final : public DirectInput {
public:
    explicit Object(uint32_t interfaceVersion) : interfaceVersion_(interfaceVersion) {}

    DiResult Initialize(uint32_t version) override {
        const bool seven = interfaceVersion_ == kDirectInputVersion7;
        if (dinput::ConsumeDiFault(seven ? DiFault::Initialize7 : DiFault::Initialize8,
                                   DeviceKind::Pad)) {
            return DIERR_GENERIC;
        }
        if (version != interfaceVersion_) return DIERR_OLDDIRECTINPUTVERSION;
        initialized_ = true;
        return DI_OK;
    }

    DiResult CreateDevice(const DiGuid& guid, DirectInputDevice** out) override {
        if (out == nullptr) return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (!initialized_) return DIERR_NOTINITIALIZED;
        if (guid == GUID_SysKeyboard || guid == GUID_SysMouse) {
            const DeviceKind kind = guid == GUID_SysKeyboard ? DeviceKind::Keyboard : DeviceKind::Mouse;
            if (dinput::ConsumeDiFault(DiFault::CreateDevice, kind)) return DIERR_GENERIC;
            *out = dinput::NewDevice(kind, guid, PadDescription{});
            return DI_OK;
        }
        for (const PadDescription& pad : GetInputBackend().Pads()) {
            if (pad.instance == guid) {
                if (dinput::ConsumeDiFault(DiFault::CreateDevice, DeviceKind::Pad)) return DIERR_GENERIC;
                *out = dinput::NewDevice(DeviceKind::Pad, guid, pad);
                return DI_OK;
            }
        }
        return DIERR_DEVICENOTREG;
    }

    DiResult EnumDevices(DiDeviceClass deviceClass, DiEnumDevicesCallback callback,
                         void* context, uint32_t /*flags: only attached devices exist*/) override {
        if (callback == nullptr) return DIERR_INVALIDPARAM;
        if (!initialized_) return DIERR_NOTINITIALIZED;
        std::vector<DiDeviceInstance> list;
        if (deviceClass == DiDeviceClass::All || deviceClass == DiDeviceClass::Keyboard) {
            list.push_back(InstanceOfSystemDevice(GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard"));
        }
        if (deviceClass == DiDeviceClass::All || deviceClass == DiDeviceClass::Pointer) {
            list.push_back(InstanceOfSystemDevice(GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse"));
        }
        if (deviceClass == DiDeviceClass::All || deviceClass == DiDeviceClass::GameController) {
            for (const PadDescription& pad : GetInputBackend().Pads()) {
                list.push_back(InstanceOfPad(pad));
            }
        }
        // The callback runs with no lock held: it makes devices.
        for (const DiDeviceInstance& instance : list) {
            if (callback(&instance, context) == DIENUM_STOP) break;
        }
        return DI_OK;
    }

    uint32_t Release() override {
        delete this;
        return 0;
    }

private:
    uint32_t interfaceVersion_;
    bool initialized_ = false;
};

}  // namespace

DiResult CreateDirectInput(uint32_t interfaceVersion, DirectInput** out) {
    if (out == nullptr) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (interfaceVersion != kDirectInputVersion7 && interfaceVersion != kDirectInputVersion8) {
        return DIERR_NOINTERFACE;
    }
    const DiFault fault =
        interfaceVersion == kDirectInputVersion7 ? DiFault::CreateInterface7 : DiFault::CreateInterface8;
    if (dinput::ConsumeDiFault(fault, dinput::DeviceKind::Pad)) return DIERR_DEVICENOTREG;
    *out = new Object(interfaceVersion);
    return DI_OK;
}

}  // namespace plat
