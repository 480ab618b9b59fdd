// The platform's device-input interface: an input object that lists and makes devices, and
// devices for the system keyboard, the system mouse and each attached joypad.
//
// A device is set up (data format, cooperative level, axis ranges and dead zones, a buffer
// size, a notification event), then acquired and read. Reads give the whole current state:
// the keyboard as 256 bytes indexed by device key code (bit 7 set while down), the mouse as
// DiMouseState2, a joypad as DiJoyState with its axes mapped onto the set range (by default
// 0..65535) through the set dead zone (0..10000 of the half range, by default 0).
//
// Where the state comes from: the keyboard and the mouse buttons are the window layer's own
// key state (window.h, GetKeyboardSnapshot), so both input roads and the key messages agree;
// the joypads come from the input backend (SDL2 joysticks with the SDL2 window backend, else
// the pads that the test controls attach). A device whose backend read fails, or that the
// test controls declare lost, is unacquired and reports DIERR_INPUTLOST once; acquiring it
// again (a joypad unplugged and plugged back in is found again by its product) makes it
// readable. The notification event of a device is set by each change the test controls make
// to its state and when it is lost; changes coming from SDL set no event (a reader that polls
// again once the clock has moved sees them). Effects are recorded only
// (input_test_controls.h shows them); nothing vibrates.
//
// Devices may be used from any thread; the joypads are read from the backend only on the
// window backend's thread (SDL is called there only), elsewhere their last state is given.
#pragma once
#include <cstdint>

#include "platform/dinput/dinput_types.h"
#include "platform/window/window.h"

namespace plat {

struct Event;

class DirectInputEffect {
public:
    // iterations: how many times to play (kDiInfinite: until stopped). Plays only on a device
    // acquired with DISCL_EXCLUSIVE (DIERR_NOTEXCLUSIVEACQUIRED otherwise); after the device's
    // release both calls give DIERR_NOTINITIALIZED.
    virtual DiResult Start(uint32_t iterations, uint32_t flags) = 0;
    virtual DiResult Stop() = 0;
    // Frees the effect; returns the remaining reference count (0).
    virtual uint32_t Release() = 0;

protected:
    virtual ~DirectInputEffect() = default;
};

class DirectInputDevice {
public:
    // DIERR_ACQUIRED while acquired; DIERR_INVALIDPARAM for a format of another kind of
    // device.
    virtual DiResult SetDataFormat(DiDataFormat format) = 0;
    // flags: one of DISCL_EXCLUSIVE / DISCL_NONEXCLUSIVE and one of DISCL_FOREGROUND /
    // DISCL_BACKGROUND; the window must exist. DIERR_ACQUIRED while acquired.
    virtual DiResult SetCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
    // Axis range (min < max) and dead zone (0..10000) of one axis (DIPH_BYOFFSET with a
    // DIJOFS_* offset) or of every axis (DIPH_DEVICE, object 0). Joypads only;
    // DIERR_OBJECTNOTFOUND for an axis the pad does not have.
    virtual DiResult SetRange(uint32_t how, uint32_t object, int32_t min, int32_t max) = 0;
    virtual DiResult SetDeadZone(uint32_t how, uint32_t object, uint32_t deadZone) = 0;
    // Size of the event buffer (kept; the states are read whole). DIERR_ACQUIRED while
    // acquired.
    virtual DiResult SetBufferSize(uint32_t entries) = 0;
    // The event to set when the device's state changes (null: none). DIERR_ACQUIRED while
    // acquired.
    virtual DiResult SetEventNotification(Event* event) = 0;
    // DI_OK, DI_NOEFFECT when already acquired, DIERR_INVALIDPARAM without a data format,
    // DIERR_UNPLUGGED for a joypad that is not attached.
    virtual DiResult Acquire() = 0;
    // DI_OK, DI_NOEFFECT when not acquired.
    virtual DiResult Unacquire() = 0;
    // The devices are read whole by GetDeviceState: DI_NOEFFECT when acquired,
    // DIERR_NOTACQUIRED (or DIERR_INPUTLOST for a device just lost) otherwise.
    virtual DiResult Poll() = 0;
    // size must be the data format's state size. DIERR_NOTACQUIRED, DIERR_INPUTLOST (the
    // read failed or the device was lost: it is now unacquired).
    virtual DiResult GetDeviceState(uint32_t size, void* data) = 0;
    virtual DiResult GetDeviceInfo(DiDeviceInstance* out) = 0;
    // Joypads with force feedback only (DIERR_UNSUPPORTED otherwise).
    virtual DiResult CreateEffect(const DiEffect& effect, DirectInputEffect** out) = 0;
    // Unacquires and frees the device; its effects stop and fail from then on. Returns 0.
    virtual uint32_t Release() = 0;

protected:
    virtual ~DirectInputDevice() = default;
};

using DiEnumDevicesCallback = int (*)(const DiDeviceInstance* instance, void* context);

class DirectInput {
public:
    // version: kDirectInputVersion7 for an interface made as version 7, kDirectInputVersion8
    // for version 8 (another gives DIERR_OLDDIRECTINPUTVERSION). Nothing else works before.
    virtual DiResult Initialize(uint32_t version) = 0;
    // GUID_SysKeyboard, GUID_SysMouse, or a joypad's instance guid from EnumDevices
    // (DIERR_DEVICENOTREG when it is not attached).
    virtual DiResult CreateDevice(const DiGuid& guid, DirectInputDevice** out) = 0;
    // Calls back for each device of the class (joypads in joystick-id order) until the
    // callback returns DIENUM_STOP.
    virtual DiResult EnumDevices(DiDeviceClass deviceClass, DiEnumDevicesCallback callback,
                                 void* context, uint32_t flags) = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~DirectInput() = default;
};

// Makes an input object of interface version kDirectInputVersion7 or kDirectInputVersion8
// (not yet initialised). DI_OK, or a failure (DIERR_DEVICENOTREG when the interface is not to
// be had, DIERR_NOINTERFACE for another version) with *out null.
DiResult CreateDirectInput(uint32_t interfaceVersion, DirectInput** out);

}  // namespace plat
