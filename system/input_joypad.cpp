// Joypads: set-up, the poll, the pad word and the effects.
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/dinput/joystick.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

// Joypad set-up: each attached game controller becomes a pad record with its device, its two
// effects and its notification event.
namespace {

// Releases a device that failed its set-up, with the log line of the failure.
int SkipDevice(plat::DirectInputDevice* device, const char* text) {
    LogWrite(text);
    device->Release();
    return plat::DIENUM_CONTINUE;
}

plat::DiEffect SineEffect() {
    plat::DiEffect e{};
    e.type = plat::DiEffectType::Sine;
    e.flags = plat::DIEFF_POLAR | plat::DIEFF_OBJECTOFFSETS;
    e.duration = plat::kDiInfinite;
    e.gain = plat::DI_FFNOMINALMAX;
    e.axisCount = 2;
    e.axes[0] = plat::DIJOFS_X;
    e.axes[1] = plat::DIJOFS_Y;
    e.direction[0] = 0;
    e.direction[1] = 0;
    e.hasEnvelope = true;
    e.envelope = plat::DiEnvelope{0, plat::DI_SECONDS / 2, 0, plat::DI_SECONDS};
    e.magnitude = 10000;
    e.period = plat::DI_SECONDS * 3 / 2;
    return e;
}

plat::DiEffect ConstantForceEffect() {
    plat::DiEffect e{};
    e.type = plat::DiEffectType::ConstantForce;
    e.flags = plat::DIEFF_CARTESIAN | plat::DIEFF_OBJECTOFFSETS;
    e.duration = plat::kDiInfinite;
    e.gain = plat::DI_FFNOMINALMAX;
    e.axisCount = 2;
    e.axes[0] = plat::DIJOFS_X;
    e.axes[1] = plat::DIJOFS_Y;
    e.direction[0] = 1;
    e.direction[1] = 0;
    e.magnitude = 10000;
    return e;
}

// Both effects, or neither.
void CreatePadEffects(InputPadRecord& pad) {
    plat::DirectInputEffect* periodic = nullptr;
    plat::DirectInputEffect* constant = nullptr;
    if (plat::DiFailed(pad.device->CreateEffect(SineEffect(), &periodic)) ||
        plat::DiFailed(pad.device->CreateEffect(ConstantForceEffect(), &constant))) {
        if (periodic != nullptr) periodic->Release();
        LogWrite("周期的エフェクトの作成に失敗しました。\n");
        return;
    }
    pad.periodicEffect = periodic;
    pad.constantEffect = constant;
}

int AddPad(const plat::DiDeviceInstance* instance, void* /*context*/) {
    InputState& s = GetInputState();
    if (s.padCount >= kMaxPads) return plat::DIENUM_STOP;
    LogWrite("入力装置を見つけました\n");
    plat::DirectInputDevice* device = nullptr;
    if (plat::DiFailed(s.directInput->CreateDevice(instance->instance, &device))) {
        LogWrite("入力装置の取得に失敗しました\n");
        return plat::DIENUM_CONTINUE;
    }
    plat::DiDeviceInstance info{};
    device->GetDeviceInfo(&info);
    LogFormat("デバイスの登録名:%s", info.instanceName);
    LogFormat("デバイスの製品登録名:%s", info.productName);
    if (plat::DiFailed(device->SetDataFormat(plat::DiDataFormat::Joystick))) {
        return SkipDevice(device, "ジョイパッドデバイスではありませんでした、又は設定に失敗しました\n");
    }
    if (plat::DiFailed(device->SetCooperativeLevel(
            InputLibraryWindow(), plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND))) {
        return SkipDevice(device, "ジョイパッドデバイスの協調レベルの設定に失敗しました\n");
    }
    if (plat::DiFailed(device->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_X, -1000, 1000))) {
        return SkipDevice(device, "ジョイパッドデバイスのＸ軸関係の設定に失敗しました\n");
    }
    if (plat::DiFailed(device->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_Y, -1000, 1000))) {
        return SkipDevice(device, "ジョイパッドデバイスのＹ軸関係の設定に失敗しました\n");
    }
    // Pads without these axes refuse them; that is no failure.
    device->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_Z, -1000, 1000);
    device->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_RZ, -1000, 1000);
    if (plat::DiFailed(device->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_X, 2500))) {
        return SkipDevice(device, "ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\n");
    }
    if (plat::DiFailed(device->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_Y, 2500))) {
        return SkipDevice(device, "ジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\n");
    }
    device->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_Z, 2500);
    device->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_RZ, 2500);

    InputPadRecord& pad = s.pads[s.padCount];
    pad = InputPadRecord{};
    pad.device = device;
    std::snprintf(pad.instanceName, sizeof(pad.instanceName), "%s", info.instanceName);
    std::snprintf(pad.productName, sizeof(pad.productName), "%s", info.productName);
    CreatePadEffects(pad);

    // Without its event the pad is still read, once per millisecond.
    pad.event = plat::CreateEvent(true, false);
    const plat::DiResult notify = pad.event != nullptr ? device->SetEventNotification(pad.event)
                                                       : plat::DIERR_GENERIC;
    if (notify != plat::DI_OK && notify != plat::DI_POLLEDDEVICE) {
        LogWrite("ジョイパッドイベントのセットアップが失敗しました\n");
        if (pad.event != nullptr) plat::CloseEvent(pad.event);
        pad.event = nullptr;
    }
    device->Acquire();
    ClearPadState(&pad.state);
    pad.vibrationRequest = 0;
    pad.vibrationPower = 10000;
    LogWrite("ジョイパッドの追加は正常に終了しました\n");
    s.padCount += 1;
    return plat::DIENUM_CONTINUE;
}

}  // namespace

void ReleasePads() {
    InputState& s = GetInputState();
    for (InputPadRecord& pad : s.pads) {
        if (pad.periodicEffect != nullptr) {
            pad.periodicEffect->Stop();
            pad.periodicEffect->Release();
        }
        if (pad.constantEffect != nullptr) {
            pad.constantEffect->Stop();
            pad.constantEffect->Release();
        }
        if (pad.device != nullptr) {
            pad.device->Unacquire();
            pad.device->Release();
        }
        if (pad.event != nullptr) plat::CloseEvent(pad.event);
        pad = InputPadRecord{};
        ClearPadState(&pad.state);
    }
    s.padCount = 0;
}

int SetupJoypads() {
    InputState& s = GetInputState();
    if (s.directInput == nullptr) return -1;
    ReleasePads();
    LogWrite("ジョイパッドの初期化... \n");
    s.padCount = 0;
    s.directInput->EnumDevices(plat::DiDeviceClass::GameController, AddPad, nullptr,
                               plat::DIEDFL_ATTACHEDONLY);
    LogWrite("ジョイパッドの初期化は正常に終了しました\n");
    return 0;
}

// The pad poll, through the pad's device or through the joystick functions.
namespace {

// Read again when the clock moved or the device signalled a change. A failed read is retried
// once after an acquire (pumping messages around it); a second failure keeps the last state,
// unless the pad is no longer attached.
int PollPadDevice(InputPadRecord& pad) {
    if (pad.device == nullptr) return 0;
    const uint32_t now = plat::MillisecondClock();
    const bool signalled =
        pad.event != nullptr && plat::WaitEvent(pad.event, 0) == plat::WaitResult::Signalled;
    if (now == pad.lastPollTime && !signalled) return 0;
    pad.lastPollTime = now;
    if (signalled) plat::ResetEvent(pad.event);
    pad.device->Poll();
    plat::DiJoyState state;
    plat::DiResult result = pad.device->GetDeviceState(sizeof(state), &state);
    if (plat::DiFailed(result)) {
        if (InputProcessMessage() != 0) return -1;
        if (pad.device->Acquire() == plat::DIERR_UNPLUGGED) {
            // The pad is gone: it no longer holds whatever it held when pulled out.
            ClearPadState(&pad.state);
            return 0;
        }
        if (InputProcessMessage() != 0) return -1;
        result = pad.device->GetDeviceState(sizeof(state), &state);
    }
    if (!plat::DiFailed(result)) pad.state = state;
    return 0;
}

// At most once per millisecond. A failed read (no pad with this id) leaves the pad centred
// with no button down.
int PollPadJoystick(InputPadRecord& pad, uint32_t id) {
    const uint32_t now = plat::MillisecondClock();
    if (now == pad.lastPollTime) return 0;
    pad.lastPollTime = now;
    plat::JoyInfoEx info{};
    info.flags = plat::JOY_RETURNALL;
    ClearPadState(&pad.state);
    if (plat::JoyGetPosEx(id, &info) != plat::JOYERR_NOERROR) return 0;
    pad.state.lX = MapJoystickAxis(info.xPos);
    pad.state.lY = MapJoystickAxis(info.yPos);
    if (pad.hasZAndR != 0) {
        pad.state.lZ = MapJoystickAxis(info.zPos);
        pad.state.lRz = MapJoystickAxis(info.rPos);
    }
    for (int k = 0; k < 24; ++k) {
        pad.state.rgbButtons[k] = ((info.buttons >> k) & 1u) != 0 ? 128 : 0;
    }
    return 0;
}

}  // namespace

int32_t MapJoystickAxis(uint32_t raw) {
    const int32_t value = static_cast<int32_t>(raw);
    if (value < 24576) return (value - 24576) * 1000 / 24576;
    if (value > 40960) return (value - 40960) * 1000 / 24576;
    return 0;
}

void ClearPadState(plat::DiJoyState* state) {
    std::memset(state, 0, sizeof(*state));
    for (uint32_t& pov : state->rgdwPOV) pov = 0xFFFFFFFFu;
}

int PollPad(int index) {
    if (index < 0 || index >= kMaxPads) return -1;
    InputState& s = GetInputState();
    InputPadRecord& pad = s.pads[index];
    if (s.directInput != nullptr) return PollPadDevice(pad);
    return PollPadJoystick(pad, static_cast<uint32_t>(index));
}

// The pad word: a pad's directions and buttons, merged with keys of the keyboard.
namespace {

struct KeyBit {
    uint8_t dik;
    int bit;
};

// Device key codes: Down, numpad 2, Left, numpad 4, Right, numpad 6, Up, numpad 8, Z, X, C,
// A, S, D, Q, W, Escape, Space.
constexpr KeyBit kKeyBits[] = {
    {0xD0, 0x1},   {0x50, 0x1},   {0xCB, 0x2},   {0x4B, 0x2},   {0xCD, 0x4},   {0x4D, 0x4},
    {0xC8, 0x8},   {0x48, 0x8},   {0x2C, 0x10},  {0x2D, 0x20},  {0x2E, 0x40},  {0x1E, 0x80},
    {0x1F, 0x100}, {0x20, 0x200}, {0x10, 0x400}, {0x11, 0x800}, {0x01, 0x1000}, {0x39, 0x2000},
};

int PadBits(const plat::DiJoyState& state) {
    int bits = 0;
    if (state.lX < 0) bits |= kPadLeft;
    if (state.lX > 0) bits |= kPadRight;
    if (state.lY < 0) bits |= kPadUp;
    if (state.lY > 0) bits |= kPadDown;
    for (int k = 0; k < 24; ++k) {
        if ((state.rgbButtons[k] & 0x80) != 0) bits |= 1 << (kPadFirstButtonBit + k);
    }
    return bits;
}

}  // namespace

int ReadPadInputBits(int inputType) {
    int started = 0;
    // A start here reads nothing; its result is no pad word.
    if (StartInputForRead(&started)) return 0;
    InputState& s = GetInputState();
    const bool withKeyboard = (inputType & kInputTypeKeyboard) != 0;
    const int number = inputType & ~kInputTypeKeyboard;
    if (!withKeyboard && s.padCount != 0 && number > s.padCount) return 0;
    int bits = 0;
    if (number >= 1 && number <= s.padCount) {
        PollPad(number - 1);
        bits = PadBits(s.pads[number - 1].state);
    }
    if (!withKeyboard) return bits;
    PollKeyboard();
    for (const KeyBit& key : kKeyBits) {
        if ((s.keyStates[key.dik] & 0x80) != 0) bits |= key.bit;
    }
    return bits;
}

// Joypad effects: each pad's sine vibration and constant force follow its vibration request,
// timed by the message pump's calls and stopped while the window is inactive.
namespace {

void StopEffect(plat::DirectInputEffect* effect, uint32_t* playing) {
    if (*playing != 0 && effect != nullptr) effect->Stop();
    *playing = 0;
}

// Starts or stops an effect so that it plays exactly when wanted.
void MatchEffect(plat::DirectInputEffect* effect, bool wanted, uint32_t* playing) {
    if (effect == nullptr || wanted == (*playing != 0)) return;
    if (wanted) {
        effect->Start(1, 0);
    } else {
        effect->Stop();
    }
    *playing = wanted ? 1 : 0;
}

}  // namespace

int RefreshPadEffects() {
    InputState& s = GetInputState();
    if (s.directInput == nullptr) return 0;
    const bool active = InputWindowActive();
    for (int i = 0; i < s.padCount; ++i) {
        InputPadRecord& pad = s.pads[i];
        if (!active) {
            StopEffect(pad.periodicEffect, &pad.periodicPlaying);
            StopEffect(pad.constantEffect, &pad.constantPlaying);
            continue;
        }
        const bool on = pad.vibrationRequest == 1;
        MatchEffect(pad.periodicEffect, on, &pad.periodicPlaying);
        MatchEffect(pad.constantEffect, on && pad.vibrationPower > 5000, &pad.constantPlaying);
    }
    return 0;
}

void StopPadVibration(int index) {
    InputState& s = GetInputState();
    if (index < 0 || index >= s.padCount) return;
    InputPadRecord& pad = s.pads[index];
    if (pad.device == nullptr || pad.periodicEffect == nullptr || pad.vibrationRequest != 1) return;
    pad.vibrationRequest = 0;
    pad.vibrationPower = 10000;
    RefreshPadEffects();
}

int StopJoypadVibration(int inputType) {
    int started = 0;
    if (StartInputForRead(&started)) return started;
    StopPadVibration((inputType & ~kInputTypeKeyboard) - 1);
    return 0;
}

int ProcessPadEffects() {
    InputState& s = GetInputState();
    const uint32_t now = plat::MillisecondClock();
    for (int i = 0; i < s.padCount; ++i) {
        InputPadRecord& pad = s.pads[i];
        if (pad.device == nullptr || pad.vibrationRequest != 1 || pad.playTime < 0) continue;
        if (now != pad.lastTimerStep) {
            // Compared by difference, so the clock's wrap counts as time going on; a clock
            // that went back restarts the step from now.
            const int32_t step = static_cast<int32_t>(now - pad.lastTimerStep);
            if (step > 0) pad.elapsedPlayTime += step;
            pad.lastTimerStep = now;
        }
        // Stopped here without the inactive-window wait: this runs inside the message pump.
        if (pad.elapsedPlayTime >= pad.playTime) StopPadVibration(i);
    }
    return RefreshPadEffects();
}

void StepJoypadEffects() { ProcessPadEffects(); }
