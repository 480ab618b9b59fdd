// The input devices as a whole: start-up and shut-down, the settings made before start-up,
// the state record, the devices after an activation change, the start of input on first use
// and the any-input check.
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/dinput/joystick.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"
#include "system/pump_services.h"

// Start-up and shut-down of the input devices.
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

// A device failure that leaves no usable input: the library's fatal exit ends the process;
// without it, what was started is ended again and start-up gets -1.
int FailFatally(const char* text) {
    const int result = FatalExit(text);
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
    return result;
}

int TermInputSystem() {
    InputState& s = GetInputState();
    if (s.started == 0) return 0;
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

// Input settings made before start-up.
int SetNoDirectInput(int flag) {
    GetInputState().noDirectInput = flag != 0 ? 1 : 0;
    return 0;
}

int SetKeyboardWithoutDirectInput(int flag) {
    GetInputState().keyboardWithoutDirectInput = flag != 0 ? 1 : 0;
    return 0;
}

InputState& GetInputState() {
    static InputState state;
    return state;
}

// The devices after a window activation change.
int ReacquireInputDevices() {
    InputState& s = GetInputState();
    if (s.directInput == nullptr) return 0;
    const uint32_t level = InputWindowActive()
                               ? plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND
                               : plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND;
    const plat::WindowHandle window = InputLibraryWindow();
    for (int i = 0; i < s.padCount; ++i) {
        plat::DirectInputDevice* device = s.pads[i].device;
        if (device == nullptr) continue;
        device->Unacquire();
        device->SetCooperativeLevel(window, level);
        device->Acquire();
    }
    if (s.keyboard != nullptr) {
        s.keyboard->Unacquire();
        s.keyboard->Acquire();
    }
    return 0;
}

// The prologue of the input reads: the inactive-window wait, and the start of input on first
// use.
bool StartInputForRead(int* result) {
    InputWaitWhileInactive();
    if (GetInputState().started == 0 && !InputWindowClosing()) {
        *result = InitInputSystem();
        return true;
    }
    return false;
}

// Whether any key, pad or mouse button is held.
namespace {

// Lock keys that stay "down" while locked do not count as input.
constexpr int kDikKanji = 0x94;
constexpr int kDikCapital = 0x3A;
constexpr int kDikKana = 0x70;
constexpr int kDikF10 = 0x44;

}  // namespace

int CheckAnyInput(int mask) {
    int started = 0;
    // A start here reads nothing; its result is no input.
    if (StartInputForRead(&started)) return 0;
    InputState& s = GetInputState();
    if ((mask & kCheckKeyboardAndPads) != 0) {
        PollKeyboard();
        for (int code = 0; code < 256; ++code) {
            if (code == kDikKanji || code == kDikCapital || code == kDikKana) continue;
            if ((s.keyStates[code] & 0x80) != 0) return code;
        }
        if (InputF10KeyHeld()) return kDikF10;
        for (int n = 1; n <= s.padCount; ++n) {
            if (ReadPadInputBits(n) != 0) return -1;
        }
    }
    if ((mask & kCheckMouse) != 0 && GetMouseButtons() != 0) return -1;
    return 0;
}
