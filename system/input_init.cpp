// Start-up and shut-down of the input devices.
#include <cstring>

#include "platform/core/clock.h"
#include "platform/dinput/joystick.h"
#include "platform/core/thread.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"
#include "base/log.h"
#include "system/pump_services.h"

namespace {

// Releases the keyboard with its event, the mouse, the pads and the interface.
void ReleaseInputDevices() {
    InputState& s = GetInputState();
    ReleasePads();
    if (s.keyboard != nullptr) {
        s.keyboard->Unacquire();
        s.keyboard->Release();
        s.keyboard = nullptr;
    }
    if (s.keyboardEvent != nullptr) {
        plat::CloseEvent(s.keyboardEvent);
        s.keyboardEvent = nullptr;
    }
    if (s.mouse != nullptr) {
        s.mouse->Unacquire();
        s.mouse->Release();
        s.mouse = nullptr;
    }
    if (s.directInput != nullptr) {
        s.directInput->Release();
        s.directInput = nullptr;
    }
}

// A device failure that leaves no usable input: the fatal-error routine ends the process;
// without one, what was started is ended again and start-up gets -1.
int FailFatally(const char* text) {
    const int result = InputFatalError(text);
    ReleaseInputDevices();
    GetInputState().started = 0;
    LogIndentSub();
    return result;
}

// Joypads through the joystick functions, the keyboard through its whole state. Every id is
// read; pads that are not there read as centred with no button down.
int StartJoystickRoad() {
    InputState& s = GetInputState();
    int count = 0;
    for (uint32_t id = 0; id < static_cast<uint32_t>(kMaxPads); ++id) {
        plat::JoyCaps caps;
        if (plat::JoyGetDevCaps(id, &caps) != plat::JOYERR_NOERROR) break;
        const uint32_t zr = plat::JOYCAPS_HASZ | plat::JOYCAPS_HASR;
        s.pads[id].hasZAndR = (caps.caps & zr) == zr ? 1 : 0;
        ++count;
    }
    LogFormat("パッドの数は %d 個です", count);
    s.started = 1;
    LogWrite("入力関連の初期化をしました\n");
    s.padCount = kMaxPads;
    return 0;
}

// The devices of the interface: the pads, the mouse and the keyboard.
int StartDevices() {
    InputState& s = GetInputState();
    s.started = 1;
    const plat::WindowHandle window = InputLibraryWindow();
    if (window != 0) plat::SetForegroundWindow(window);
    InputProcessMessage();
    SetupJoypads();

    LogWrite("マウスデバイスの初期化... ");
    if (plat::DiFailed(s.directInput->CreateDevice(plat::GUID_SysMouse, &s.mouse))) {
        return FailFatally("マウスデバイスの取得に失敗しました");
    }
    if (plat::DiFailed(s.mouse->SetDataFormat(plat::DiDataFormat::Mouse2))) {
        return FailFatally("マウスデバイスのデータ形式の設定に失敗しました");
    }
    if (plat::DiFailed(s.mouse->SetCooperativeLevel(
            window, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND))) {
        return FailFatally("マウスデバイスの協調レベルの設定に失敗しました");
    }
    LogWrite("初期化成功\n");
    s.keyboardPollTime = plat::MillisecondClock();

    if (s.keyboardWithoutDirectInput == 0) {
        LogWrite("キーボードデバイスの初期化... ");
        if (plat::DiFailed(s.directInput->CreateDevice(plat::GUID_SysKeyboard, &s.keyboard))) {
            return FailFatally("キーボードデバイスの取得に失敗しました");
        }
        if (plat::DiFailed(s.keyboard->SetDataFormat(plat::DiDataFormat::Keyboard))) {
            return FailFatally("キーボードデバイスのデータ形式の設定に失敗しました");
        }
        if (plat::DiFailed(s.keyboard->SetCooperativeLevel(
                window, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND))) {
            return FailFatally("キーボードデバイスの協調レベルの設定に失敗しました");
        }
        if (plat::DiFailed(s.keyboard->SetBufferSize(100))) {
            LogWrite("キーボードのプロパティ設定に失敗しました\n");
        }
        s.keyboardEvent = plat::CreateEvent(true, false);
        const plat::DiResult notify = s.keyboardEvent != nullptr
                                          ? s.keyboard->SetEventNotification(s.keyboardEvent)
                                          : plat::DIERR_GENERIC;
        if (notify != plat::DI_OK && notify != plat::DI_POLLEDDEVICE) {
            // The keyboard is then acquired by its first read.
            LogWrite("キーボードイベントのセットアップが失敗しました\n");
            LogIndentSub();
            return 1;
        }
        if (plat::DiFailed(s.keyboard->Acquire()) && plat::DiFailed(s.keyboard->Acquire())) {
            return FailFatally("キーボードデバイスの取得に失敗しました");
        }
        LogWrite("初期化成功\n");
        s.keyboardPollTime = plat::MillisecondClock();
    }

    LogIndentSub();
    LogWrite("DirectInput 関連の初期化は正常に終了しました\n");
    return 0;
}

// Makes and initialises an interface of the version; null when either fails (logged).
plat::DirectInput* ObtainInterface(uint32_t version) {
    const bool seven = version == plat::kDirectInputVersion7;
    plat::DirectInput* di = nullptr;
    const plat::DiResult created = plat::CreateDirectInput(version, &di);
    if (plat::DiFailed(created)) {
        if (seven) {
            LogWrite("取得に失敗。\n");
            LogFormat("エラーコード 0x%x", static_cast<unsigned>(created));
        } else {
            LogWrite("取得に失敗。");
        }
        return nullptr;
    }
    LogWrite("成功\n");
    if (seven) LogIndentAdd();
    LogWrite("引き続き初期化処理... ");
    const bool initialised = !plat::DiFailed(di->Initialize(version));
    LogWrite(initialised ? "初期化成功\n" : "初期化に失敗。");
    if (seven) LogIndentSub();
    if (!initialised) {
        di->Release();
        return nullptr;
    }
    return di;
}

// Steps of start-up: the interface (version 7, else 8) with its devices, else the joystick
// road. Nothing happens when input is already started.
int StartInput() {
    InputState& s = GetInputState();
    if (s.started != 0) return 0;
    const uint32_t noDirectInput = s.noDirectInput;
    const uint32_t keyboardWithoutDirectInput = s.keyboardWithoutDirectInput;
    s = InputState{};
    s.noDirectInput = noDirectInput;
    s.keyboardWithoutDirectInput = keyboardWithoutDirectInput;
    for (InputPadRecord& pad : s.pads) ClearPadState(&pad.state);

    if (s.noDirectInput == 0) {
        LogWrite("DirectInput関係初期化処理\n");
        LogIndentAdd();
        LogWrite("DirectInput7 の取得中... ");
        if (plat::DirectInput* di = ObtainInterface(plat::kDirectInputVersion7)) {
            s.directInput = di;
            return StartDevices();
        }
        LogWrite("DirectInput8 の取得を試みます...");
        if (plat::DirectInput* di = ObtainInterface(plat::kDirectInputVersion8)) {
            s.directInput = di;
            s.directInput8 = 1;
            return StartDevices();
        }
        LogWrite("DirectInput を使用しません。\n");
        s.noDirectInput = 1;
        LogIndentSub();
    }
    return StartJoystickRoad();
}

}  // namespace

int InitInputSystem() {
    const int result = StartInput();
    if (GetInputState().started != 0) GetPumpServices().stepJoypadEffects = StepJoypadEffects;
    return result;
}

int TermInputSystem() {
    InputState& s = GetInputState();
    if (s.started == 0) return 0;
    PumpServices& services = GetPumpServices();
    if (services.stepJoypadEffects == StepJoypadEffects) services.stepJoypadEffects = nullptr;
    if (s.directInput == nullptr) {
        LogWrite("入力関連の終了処理... 完了\n");
        s.started = 0;
        return 0;
    }
    LogWrite("DirectInput 関連の終了処理... 完了\n");
    ReleaseInputDevices();
    s.started = 0;
    return 0;
}
