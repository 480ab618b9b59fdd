// Joypad set-up: each attached game controller becomes a pad record with its device, its two
// effects and its notification event.
#include <cstdio>

#include "platform/core/thread.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"
#include "base/log.h"

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
