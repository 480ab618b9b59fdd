#include <cstring>

#include "platform/dinput/dinput.h"
#include "platform/dinput/input_backend.h"
#include "platform/dinput/keyboard_state.h"
#include "platform/core/thread.h"
#include "tests/platform/dinput/input_device_fixture.h"

namespace {

using plat::DiResult;

struct KeyCase {
    uint32_t virtualKey;
    uint8_t dik;
};

class DirectInputTest : public InputDeviceFixture {
protected:
    std::vector<uint8_t> ReadKeyboard(plat::DirectInputDevice* keyboard, DiResult expect = plat::DI_OK) {
        std::vector<uint8_t> state(256, 0xEE);
        EXPECT_EQ(keyboard->GetDeviceState(256, state.data()), expect);
        return state;
    }
    plat::DiJoyState ReadPad(plat::DirectInputDevice* pad, DiResult expect = plat::DI_OK) {
        plat::DiJoyState state{};
        EXPECT_EQ(pad->GetDeviceState(sizeof(state), &state), expect);
        return state;
    }
};

TEST_F(DirectInputTest, KeyboardGivesTheWindowLayersKeysByDeviceKeyCode) {
    plat::DirectInputDevice* keyboard = Make(plat::GUID_SysKeyboard, plat::DiDataFormat::Keyboard);
    const KeyCase cases[] = {
        {'Z', 0x2C},          {'X', 0x2D},          {'P', 0x19},          {'0', 0x0B},
        {plat::VK_UP, 0xC8},  {plat::VK_LEFT, 0xCB}, {plat::VK_ESCAPE, 0x01}, {plat::VK_RETURN, 0x1C},
        {plat::VK_SPACE, 0x39}, {plat::VK_NUMPAD0 + 2, 0x50}, {plat::VK_NUMPAD0 + 8, 0x48},
        {plat::VK_SHIFT, 0x2A}, {plat::VK_CONTROL, 0x1D}, {plat::VK_F10, 0x44}, {plat::VK_F12, 0x58},
        {plat::VK_CAPITAL, 0x3A}, {plat::VK_KANA, 0x70}, {plat::VK_KANJI, 0x94},
        {plat::VK_OEM_PLUS, 0x27}, {plat::VK_OEM_5, 0x7D}, {plat::VK_DIVIDE, 0xB5},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.virtualKey);
        plat::SetTestKey(c.virtualKey, true);
        const std::vector<uint8_t> state = ReadKeyboard(keyboard);
        for (int code = 0; code < 256; ++code) {
            EXPECT_EQ(state[code], code == c.dik ? 0x80 : 0) << "code " << code;
        }
        plat::SetTestKey(c.virtualKey, false);
    }
}

TEST_F(DirectInputTest, SetUpFollowsTheDeviceRules) {
    plat::DirectInputDevice* keyboard = nullptr;
    ASSERT_EQ(di_->CreateDevice(plat::GUID_SysKeyboard, &keyboard), plat::DI_OK);
    devices_.push_back(keyboard);
    uint8_t state[256];
    // Nothing reads before a data format; a format of another device is refused.
    EXPECT_EQ(keyboard->Acquire(), plat::DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetDataFormat(plat::DiDataFormat::Joystick), plat::DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard->SetDataFormat(plat::DiDataFormat::Keyboard), plat::DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(256, state), plat::DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->GetDeviceState(255, state), plat::DIERR_INVALIDPARAM);
    // A level needs one of each pair and a live window.
    EXPECT_EQ(keyboard->SetCooperativeLevel(window_, plat::DISCL_EXCLUSIVE | plat::DISCL_NONEXCLUSIVE |
                                                         plat::DISCL_BACKGROUND),
              plat::DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window_, plat::DISCL_NONEXCLUSIVE), plat::DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(0, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND),
              plat::DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window_, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND),
              plat::DI_OK);
    EXPECT_EQ(keyboard->SetRange(plat::DIPH_DEVICE, 0, -1, 1), plat::DIERR_UNSUPPORTED);
    EXPECT_EQ(keyboard->Acquire(), plat::DI_OK);
    EXPECT_EQ(keyboard->Acquire(), plat::DI_NOEFFECT);
    // Set-up calls wait for the device to be unacquired.
    EXPECT_EQ(keyboard->SetBufferSize(100), plat::DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->SetEventNotification(nullptr), plat::DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->SetDataFormat(plat::DiDataFormat::Keyboard), plat::DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->Unacquire(), plat::DI_OK);
    EXPECT_EQ(keyboard->Unacquire(), plat::DI_NOEFFECT);
    EXPECT_EQ(keyboard->SetBufferSize(100), plat::DI_OK);
    EXPECT_EQ(plat::LiveInputDevices()[0].bufferSize, 100u);
}

TEST_F(DirectInputTest, InterfaceVersionsAndUnknownDevices) {
    plat::DirectInput* di = nullptr;
    ASSERT_EQ(plat::CreateDirectInput(plat::kDirectInputVersion8, &di), plat::DI_OK);
    plat::DirectInputDevice* device = nullptr;
    EXPECT_EQ(di->CreateDevice(plat::GUID_SysMouse, &device), plat::DIERR_NOTINITIALIZED);
    EXPECT_EQ(di->Initialize(plat::kDirectInputVersion7), plat::DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(di->Initialize(plat::kDirectInputVersion8), plat::DI_OK);
    EXPECT_EQ(di->CreateDevice(plat::TestPadInstance(99), &device), plat::DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
    di->Release();

    EXPECT_EQ(plat::CreateDirectInput(0x0500, &di), plat::DIERR_NOINTERFACE);
    plat::FailNextDirectInputCalls(plat::DiFault::CreateInterface7, 1);
    EXPECT_EQ(plat::CreateDirectInput(plat::kDirectInputVersion7, &di), plat::DIERR_DEVICENOTREG);
    EXPECT_EQ(di, nullptr);
    EXPECT_EQ(plat::CreateDirectInput(plat::kDirectInputVersion7, &di), plat::DI_OK);
    di->Release();
}

TEST_F(DirectInputTest, EnumerationListsThePadsInOrderUntilStopped) {
    plat::TestPadSpec first;
    first.name = "Erste";
    plat::TestPadSpec second;
    second.name = "Zweite";
    const uint32_t a = plat::AttachTestPad(first);
    const uint32_t b = plat::AttachTestPad(second);
    std::vector<plat::DiDeviceInstance> seen;
    auto collect = [](const plat::DiDeviceInstance* instance, void* context) {
        static_cast<std::vector<plat::DiDeviceInstance>*>(context)->push_back(*instance);
        return plat::DIENUM_CONTINUE;
    };
    ASSERT_EQ(di_->EnumDevices(plat::DiDeviceClass::GameController, collect, &seen,
                               plat::DIEDFL_ATTACHEDONLY),
              plat::DI_OK);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].instance == plat::TestPadInstance(a));
    EXPECT_TRUE(seen[1].instance == plat::TestPadInstance(b));
    EXPECT_STREQ(seen[0].instanceName, "Erste");
    EXPECT_EQ(seen[1].deviceType, plat::DIDEVTYPE_JOYSTICK);

    int calls = 0;
    di_->EnumDevices(
        plat::DiDeviceClass::GameController,
        [](const plat::DiDeviceInstance*, void* context) {
            ++*static_cast<int*>(context);
            return plat::DIENUM_STOP;
        },
        &calls, plat::DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(calls, 1);
}

// Axis values through the range -1000..1000 and the dead zone 2500 that the library sets.
TEST_F(DirectInputTest, PadAxesFollowRangeAndDeadZone) {
    plat::TestPadSpec spec;
    spec.axes = 4;
    spec.buttons = 4;
    spec.hats = 1;
    const uint32_t id = plat::AttachTestPad(spec);
    plat::DirectInputDevice* pad = MakePad(id);
    ASSERT_NE(pad, nullptr);
    pad->Unacquire();
    ASSERT_EQ(pad->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_X, -1000, 1000), plat::DI_OK);
    ASSERT_EQ(pad->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_X, 2500), plat::DI_OK);
    EXPECT_EQ(pad->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_RX, -1000, 1000), plat::DIERR_OBJECTNOTFOUND);
    EXPECT_EQ(pad->SetRange(plat::DIPH_BYOFFSET, plat::DIJOFS_X, 5, 5), plat::DIERR_INVALIDPARAM);
    EXPECT_EQ(pad->SetDeadZone(plat::DIPH_BYOFFSET, plat::DIJOFS_X, 10001), plat::DIERR_INVALIDPARAM);
    ASSERT_EQ(pad->Acquire(), plat::DI_OK);

    struct AxisCase {
        int32_t raw;
        int32_t x;
    };
    const AxisCase cases[] = {
        {0, 0},          {8000, 0},     {-8191, 0},  // inside the dead zone (a quarter)
        {16384, 333},    {-16384, -333},             // half way: a third past the dead zone
        {32767, 1000},   {-32768, -1000},            // the ends
    };
    for (const AxisCase& c : cases) {
        plat::SetTestPadAxis(id, 0, c.raw);
        EXPECT_EQ(ReadPad(pad).lX, c.x) << "raw " << c.raw;
    }
    // The untouched Y axis keeps the default range 0..65535: centred at its middle.
    plat::SetTestPadAxis(id, 1, -32768);
    EXPECT_EQ(ReadPad(pad).lY, 0);
    plat::SetTestPadAxis(id, 1, 0);
    EXPECT_EQ(ReadPad(pad).lY, 32768);
    // The fourth axis is R, given as Rz.
    plat::SetTestPadAxis(id, 3, 32767);
    EXPECT_EQ(ReadPad(pad).lRz, 65535);

    plat::SetTestPadButton(id, 2, true);
    plat::SetTestPadHat(id, 0, plat::kHatDown | plat::kHatLeft);
    const plat::DiJoyState state = ReadPad(pad);
    EXPECT_EQ(state.rgbButtons[2], 0x80);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgdwPOV[0], 22500u);
    EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu);
}

TEST_F(DirectInputTest, FailedReadUnacquiresAndAcquireRecovers) {
    const uint32_t id = plat::AttachTestPad();
    plat::DirectInputDevice* pad = MakePad(id);
    plat::SetTestPadButton(id, 0, true);
    const uint64_t before = plat::InputReadCount(plat::InputDeviceKind::Pad);
    plat::FailNextInputReads(plat::InputDeviceKind::Pad, 1);
    ReadPad(pad, plat::DIERR_INPUTLOST);
    ReadPad(pad, plat::DIERR_NOTACQUIRED);
    EXPECT_EQ(pad->Poll(), plat::DIERR_NOTACQUIRED);
    EXPECT_EQ(pad->Acquire(), plat::DI_OK);
    EXPECT_EQ(pad->Poll(), plat::DI_NOEFFECT);
    EXPECT_EQ(ReadPad(pad).rgbButtons[0], 0x80);
    // The failed read and the good one reached the backend; the refused one did not.
    EXPECT_EQ(plat::InputReadCount(plat::InputDeviceKind::Pad) - before, 2u);
}

TEST_F(DirectInputTest, LostDevicesSaySoOnceAndAreAcquiredAgain) {
    plat::DirectInputDevice* keyboard = Make(plat::GUID_SysKeyboard, plat::DiDataFormat::Keyboard);
    plat::DirectInputDevice* mouse = Make(plat::GUID_SysMouse, plat::DiDataFormat::Mouse2);
    plat::LoseInputDevices(plat::InputDeviceKind::KeyboardDevice);
    ReadKeyboard(keyboard, plat::DIERR_INPUTLOST);
    ReadKeyboard(keyboard, plat::DIERR_NOTACQUIRED);
    plat::DiMouseState2 m{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof(m), &m), plat::DI_OK);  // not lost
    EXPECT_EQ(keyboard->Acquire(), plat::DI_OK);
    plat::SetTestKey('W', true);
    EXPECT_EQ(ReadKeyboard(keyboard)[0x11], 0x80);
}

TEST_F(DirectInputTest, RepluggedPadIsFoundAgainByItsProduct) {
    plat::TestPadSpec spec;
    spec.productName = "Twin Stick";
    const uint32_t first = plat::AttachTestPad(spec);
    plat::DirectInputDevice* pad = MakePad(first);
    plat::DetachTestPad(first);
    ReadPad(pad, plat::DIERR_INPUTLOST);
    EXPECT_EQ(pad->Acquire(), plat::DIERR_UNPLUGGED);
    plat::TestPadSpec other;
    other.productName = "Other Pad";
    plat::AttachTestPad(other);
    EXPECT_EQ(pad->Acquire(), plat::DIERR_UNPLUGGED);  // another product is not taken
    const uint32_t again = plat::AttachTestPad(spec);
    ASSERT_NE(again, first);
    ASSERT_EQ(pad->Acquire(), plat::DI_OK);
    plat::SetTestPadButton(again, 1, true);
    EXPECT_EQ(ReadPad(pad).rgbButtons[1], 0x80);
}

TEST_F(DirectInputTest, ChangesSetTheNotificationEventsOfTheirDevices) {
    const uint32_t a = plat::AttachTestPad();
    const uint32_t b = plat::AttachTestPad();
    plat::Event* keyEvent = plat::CreateEvent(true, false);
    plat::Event* padEvent = plat::CreateEvent(true, false);
    plat::DirectInputDevice* keyboard = nullptr;
    ASSERT_EQ(di_->CreateDevice(plat::GUID_SysKeyboard, &keyboard), plat::DI_OK);
    devices_.push_back(keyboard);
    ASSERT_EQ(keyboard->SetEventNotification(keyEvent), plat::DI_OK);
    plat::DirectInputDevice* pad = nullptr;
    ASSERT_EQ(di_->CreateDevice(plat::TestPadInstance(a), &pad), plat::DI_OK);
    devices_.push_back(pad);
    ASSERT_EQ(pad->SetEventNotification(padEvent), plat::DI_OK);

    plat::SetTestPadAxis(b, 0, 100);  // another pad
    EXPECT_EQ(plat::WaitEvent(padEvent, 0), plat::WaitResult::TimedOut);
    plat::SetTestPadAxis(a, 0, 100);
    EXPECT_EQ(plat::WaitEvent(padEvent, 0), plat::WaitResult::Signalled);
    EXPECT_EQ(plat::WaitEvent(keyEvent, 0), plat::WaitResult::TimedOut);
    plat::SetTestKey('A', true);
    EXPECT_EQ(plat::WaitEvent(keyEvent, 0), plat::WaitResult::Signalled);

    keyboard->SetEventNotification(nullptr);
    pad->SetEventNotification(nullptr);
    plat::CloseEvent(keyEvent);
    plat::CloseEvent(padEvent);
}

TEST_F(DirectInputTest, MouseGivesButtonsAndMovement) {
    plat::DirectInputDevice* mouse = Make(plat::GUID_SysMouse, plat::DiDataFormat::Mouse2);
    plat::InjectMouseMove(window_, 10, 10);
    plat::DiMouseState2 m{};
    ASSERT_EQ(mouse->GetDeviceState(sizeof(m), &m), plat::DI_OK);
    plat::InjectMouseMove(window_, 15, 7);
    plat::SetTestMouseButton(1, true);
    ASSERT_EQ(mouse->GetDeviceState(sizeof(m), &m), plat::DI_OK);
    EXPECT_EQ(m.lX, 5);
    EXPECT_EQ(m.lY, -3);
    EXPECT_EQ(m.rgbButtons[0], 0);
    EXPECT_EQ(m.rgbButtons[1], 0x80);
}

TEST_F(DirectInputTest, EffectsAreRecordedAndNeedExclusiveAcquisition) {
    plat::TestPadSpec plain;
    const uint32_t noForce = plat::AttachTestPad(plain);
    plat::TestPadSpec rumble;
    rumble.forceFeedback = true;
    const uint32_t id = plat::AttachTestPad(rumble);
    plat::DiEffect sine{};
    sine.type = plat::DiEffectType::Sine;
    sine.axisCount = 2;
    sine.magnitude = 10000;
    plat::DirectInputEffect* effect = nullptr;
    EXPECT_EQ(MakePad(noForce)->CreateEffect(sine, &effect), plat::DIERR_UNSUPPORTED);

    plat::DirectInputDevice* shared = MakePad(id, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND);
    ASSERT_EQ(shared->CreateEffect(sine, &effect), plat::DI_OK);
    EXPECT_EQ(effect->Start(1, 0), plat::DIERR_NOTEXCLUSIVEACQUIRED);
    shared->Unacquire();
    shared->SetCooperativeLevel(window_, plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
    shared->Acquire();
    EXPECT_EQ(effect->Start(1, 0), plat::DI_OK);
    std::vector<plat::TestEffectRecord> records = plat::PadEffectRecords(id);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].playing);
    EXPECT_EQ(records[0].starts, 1u);
    EXPECT_EQ(records[0].effect.magnitude, 10000);
    EXPECT_EQ(effect->Stop(), plat::DI_OK);
    records = plat::PadEffectRecords(id);
    EXPECT_FALSE(records[0].playing);
    EXPECT_EQ(records[0].stops, 1u);

    // Releasing the device leaves the effect object harmless until it is released.
    shared->Release();
    devices_.pop_back();
    EXPECT_EQ(effect->Start(1, 0), plat::DIERR_NOTINITIALIZED);
    EXPECT_TRUE(plat::PadEffectRecords(id).empty());
    effect->Release();
}

TEST_F(DirectInputTest, SetUpFailuresConcernTheirKindOfDevice) {
    plat::FailNextDirectInputCalls(plat::DiFault::CreateDevice, 1, plat::InputDeviceKind::KeyboardDevice);
    plat::DirectInputDevice* device = nullptr;
    EXPECT_EQ(di_->CreateDevice(plat::GUID_SysMouse, &device), plat::DI_OK);
    device->Release();
    EXPECT_EQ(di_->CreateDevice(plat::GUID_SysKeyboard, &device), plat::DIERR_GENERIC);
    EXPECT_EQ(di_->CreateDevice(plat::GUID_SysKeyboard, &device), plat::DI_OK);
    devices_.push_back(device);
    plat::FailNextDirectInputCalls(plat::DiFault::Acquire, 2, plat::InputDeviceKind::KeyboardDevice);
    device->SetDataFormat(plat::DiDataFormat::Keyboard);
    EXPECT_EQ(device->Acquire(), plat::DIERR_GENERIC);
    EXPECT_EQ(device->Acquire(), plat::DIERR_GENERIC);
    EXPECT_EQ(device->Acquire(), plat::DI_OK);
}

TEST_F(DirectInputTest, KeyboardStateSetsTheLeftHandModifiersAndCanFail) {
    plat::SetTestKey(plat::VK_SHIFT, true);
    plat::SetTestKey('Q', true);
    uint8_t state[256];
    ASSERT_TRUE(plat::GetKeyboardState(state));
    EXPECT_EQ(state[plat::VK_SHIFT], 0x80);
    EXPECT_EQ(state[plat::VK_LSHIFT], 0x80);
    EXPECT_EQ(state[plat::VK_RSHIFT], 0);
    EXPECT_EQ(state['Q'], 0x80);
    std::memset(state, 0x11, sizeof(state));
    plat::FailNextInputReads(plat::InputDeviceKind::KeyboardState, 1);
    EXPECT_FALSE(plat::GetKeyboardState(state));
    EXPECT_EQ(state['Q'], 0x11);
}

}  // namespace
