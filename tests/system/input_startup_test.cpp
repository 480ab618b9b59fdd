#include <algorithm>
#include <cstring>

#include "tests/support/input_fixture.h"

namespace {

class InputStartupTest : public InputFixture {
protected:
    // True when the log holds the text (literals are compiled to Shift-JIS, as the log is).
    bool Logged(const char* text) { return LogText().find(text) != std::string::npos; }
    static size_t CountDevices(bool (*pick)(const plat::TestDeviceRecord&)) {
        const auto devices = plat::LiveInputDevices();
        return static_cast<size_t>(std::count_if(devices.begin(), devices.end(), pick));
    }
    static bool IsKeyboard(const plat::TestDeviceRecord& r) { return r.guid == plat::GUID_SysKeyboard; }
    static bool IsMouse(const plat::TestDeviceRecord& r) { return r.guid == plat::GUID_SysMouse; }
    static bool IsPad(const plat::TestDeviceRecord& r) { return r.padId != 0; }
};

TEST_F(InputStartupTest, DeviceRoadMakesPadsMouseAndKeyboardAndEndsThem) {
    plat::AttachTestPad();
    plat::AttachTestPad();
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().started, 1u);
    EXPECT_NE(State().directInput, nullptr);
    EXPECT_EQ(State().directInput8, 0u);
    EXPECT_EQ(State().padCount, 2);
    EXPECT_EQ(seen_.pumps, 1);
    EXPECT_TRUE(Logged("DirectInput7 の取得中... 成功"));
    EXPECT_TRUE(Logged("引き続き初期化処理... 初期化成功"));
    EXPECT_TRUE(Logged("デバイスの登録名:Test Pad"));
    EXPECT_TRUE(Logged("ジョイパッドの追加は正常に終了しました"));
    EXPECT_TRUE(Logged("マウスデバイスの初期化... 初期化成功"));
    EXPECT_TRUE(Logged("キーボードデバイスの初期化... 初期化成功"));
    EXPECT_TRUE(Logged("DirectInput 関連の初期化は正常に終了しました"));
    // The keyboard is acquired with its event and a buffer; the mouse waits for its first read.
    for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
        if (IsKeyboard(r)) {
            EXPECT_TRUE(r.acquired);
            EXPECT_TRUE(r.hasEvent);
            EXPECT_EQ(r.bufferSize, 100u);
            EXPECT_EQ(r.cooperativeFlags, plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND);
        }
        if (IsMouse(r)) {
            EXPECT_FALSE(r.acquired);
        }
        if (IsPad(r)) {
            EXPECT_TRUE(r.acquired);
            EXPECT_EQ(r.cooperativeFlags, plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
            EXPECT_EQ(r.window, TheWindow().handle);
        }
    }
    EXPECT_EQ(InitInputSystem(), 0);  // already started: nothing more
    EXPECT_EQ(plat::LiveInputDevices().size(), 4u);

    EXPECT_EQ(TermInputSystem(), 0);
    EXPECT_TRUE(plat::LiveInputDevices().empty());
    EXPECT_EQ(State().started, 0u);
    EXPECT_TRUE(Logged("DirectInput 関連の終了処理... 完了"));
}

TEST_F(InputStartupTest, VersionEightStandsInForSeven) {
    plat::FailNextDirectInputCalls(plat::DiFault::CreateInterface7, 1);
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().directInput8, 1u);
    EXPECT_TRUE(Logged("DirectInput7 の取得中... 取得に失敗。"));
    EXPECT_TRUE(Logged("エラーコード 0x80040154"));
    EXPECT_TRUE(Logged("DirectInput8 の取得を試みます...成功"));
    EXPECT_EQ(CountDevices(IsKeyboard), 1u);
}

TEST_F(InputStartupTest, WithoutEitherInterfaceTheJoystickRoadCountsThePads) {
    plat::TestPadSpec withZR;
    withZR.axes = 4;
    plat::AttachTestPad(withZR);
    plat::AttachTestPad();
    plat::FailNextDirectInputCalls(plat::DiFault::Initialize7, 1);
    plat::FailNextDirectInputCalls(plat::DiFault::CreateInterface8, 1);
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().directInput, nullptr);
    EXPECT_EQ(State().started, 1u);
    EXPECT_EQ(State().noDirectInput, 1u);  // not tried again at the next start-up
    EXPECT_EQ(State().padCount, 8);        // every id is read
    EXPECT_EQ(State().pads[0].hasZAndR, 1u);
    EXPECT_EQ(State().pads[1].hasZAndR, 0u);
    EXPECT_TRUE(plat::LiveInputDevices().empty());
    EXPECT_TRUE(Logged("引き続き初期化処理... 初期化に失敗。DirectInput8 の取得を試みます...取得に失敗。"
                       "DirectInput を使用しません。"));
    EXPECT_TRUE(Logged("パッドの数は 2 個です"));
    EXPECT_TRUE(Logged("入力関連の初期化をしました"));
    EXPECT_EQ(TermInputSystem(), 0);
    EXPECT_TRUE(Logged("入力関連の終了処理... 完了"));
}

// Fault mended: the keyboard-without-device setting is kept across start-up like the other.
TEST_F(InputStartupTest, KeyboardWithoutDeviceSettingSurvivesStartUp) {
    SetKeyboardWithoutDirectInput(1);
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().keyboardWithoutDirectInput, 1u);
    EXPECT_EQ(CountDevices(IsKeyboard), 0u);
    EXPECT_EQ(CountDevices(IsMouse), 1u);
    EXPECT_FALSE(Logged("キーボードデバイスの初期化"));
    plat::SetTestKey('X', true);
    AdvanceMs(1);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2D});
}

TEST_F(InputStartupTest, KeyboardWithoutNotificationReturnsOneAndStillReads) {
    plat::FailNextDirectInputCalls(plat::DiFault::EventNotification, 1,
                                   plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(InitInputSystem(), 1);
    EXPECT_TRUE(Logged("キーボードイベントのセットアップが失敗しました"));
    EXPECT_EQ(State().started, 1u);
    AdvanceMs(1);
    plat::SetTestKey(plat::VK_ESCAPE, true);
    EXPECT_EQ(KeysDown(), std::vector<int>{1});
}

struct FatalCase {
    plat::DiFault call;
    plat::InputDeviceKind kind;
    int count;
    const char* text;
};

class InputFatalTest : public InputStartupTest, public ::testing::WithParamInterface<FatalCase> {};

// The mouse and keyboard failures go to the fatal-error routine; when it returns (only a
// stand-in does), everything started is ended again and start-up fails.
TEST_P(InputFatalTest, DeviceFailureIsFatal) {
    const FatalCase& c = GetParam();
    plat::AttachTestPad();
    plat::FailNextDirectInputCalls(c.call, c.count, c.kind);
    EXPECT_EQ(InitInputSystem(), -1);
    ASSERT_EQ(seen_.fatalTexts.size(), 1u);
    EXPECT_EQ(seen_.fatalTexts[0], c.text);
    EXPECT_EQ(State().started, 0u);
    EXPECT_EQ(State().directInput, nullptr);
    EXPECT_TRUE(plat::LiveInputDevices().empty());
    EXPECT_EQ(&*PumpServicesSlot(), &kCountingServices);
}

INSTANTIATE_TEST_SUITE_P(
    MouseAndKeyboard, InputFatalTest,
    ::testing::Values(
        FatalCase{plat::DiFault::CreateDevice, plat::InputDeviceKind::Mouse, 1,
                  "マウスデバイスの取得に失敗しました"},
        FatalCase{plat::DiFault::DataFormat, plat::InputDeviceKind::Mouse, 1,
                  "マウスデバイスのデータ形式の設定に失敗しました"},
        FatalCase{plat::DiFault::CooperativeLevel, plat::InputDeviceKind::Mouse, 1,
                  "マウスデバイスの協調レベルの設定に失敗しました"},
        FatalCase{plat::DiFault::CreateDevice, plat::InputDeviceKind::KeyboardDevice, 1,
                  "キーボードデバイスの取得に失敗しました"},
        FatalCase{plat::DiFault::CooperativeLevel, plat::InputDeviceKind::KeyboardDevice, 1,
                  "キーボードデバイスの協調レベルの設定に失敗しました"},
        FatalCase{plat::DiFault::Acquire, plat::InputDeviceKind::KeyboardDevice, 2,
                  "キーボードデバイスの取得に失敗しました"}));

TEST_F(InputStartupTest, KeyboardAcquiredAtTheSecondTry) {
    plat::FailNextDirectInputCalls(plat::DiFault::Acquire, 1, plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(InitInputSystem(), 0);
    EXPECT_TRUE(seen_.fatalTexts.empty());
}

TEST_F(InputStartupTest, BufferSizeFailureOnlyLogs) {
    plat::FailNextDirectInputCalls(plat::DiFault::BufferSize, 1, plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(InitInputSystem(), 0);
    EXPECT_TRUE(Logged("キーボードのプロパティ設定に失敗しました"));
}

struct PadSkipCase {
    plat::DiFault call;
    const char* text;
};

class InputPadSkipTest : public InputStartupTest, public ::testing::WithParamInterface<PadSkipCase> {};

// A pad whose set-up fails is left out; the next one is taken.
TEST_P(InputPadSkipTest, FailingPadIsSkipped) {
    const uint32_t first = plat::AttachTestPad();
    const uint32_t second = plat::AttachTestPad();
    plat::FailNextDirectInputCalls(GetParam().call, 1, plat::InputDeviceKind::Pad);
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().padCount, 1);
    EXPECT_TRUE(Logged(GetParam().text));
    std::vector<uint32_t> pads;
    for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
        if (r.padId != 0) pads.push_back(r.padId);
    }
    EXPECT_EQ(pads, std::vector<uint32_t>{second});
    (void)first;
}

INSTANTIATE_TEST_SUITE_P(
    SetUpSteps, InputPadSkipTest,
    ::testing::Values(
        PadSkipCase{plat::DiFault::CreateDevice, "入力装置の取得に失敗しました"},
        PadSkipCase{plat::DiFault::DataFormat,
                    "ジョイパッドデバイスではありませんでした、又は設定に失敗しました"},
        PadSkipCase{plat::DiFault::CooperativeLevel, "ジョイパッドデバイスの協調レベルの設定に失敗しました"},
        PadSkipCase{plat::DiFault::Range, "ジョイパッドデバイスのＸ軸関係の設定に失敗しました"},
        PadSkipCase{plat::DiFault::DeadZone, "ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました"}));

TEST_F(InputStartupTest, AtMostEightPadsWithEffectsWhereTheyCanBeHad) {
    plat::TestPadSpec rumble;
    rumble.forceFeedback = true;
    const uint32_t first = plat::AttachTestPad(rumble);
    for (int i = 0; i < 9; ++i) plat::AttachTestPad();
    ASSERT_EQ(InitInputSystem(), 0);
    EXPECT_EQ(State().padCount, 8);
    EXPECT_NE(State().pads[0].periodicEffect, nullptr);
    EXPECT_NE(State().pads[0].constantEffect, nullptr);
    EXPECT_EQ(State().pads[1].periodicEffect, nullptr);
    EXPECT_EQ(State().pads[0].vibrationPower, 10000);
    EXPECT_TRUE(Logged("周期的エフェクトの作成に失敗しました。"));
    const auto effects = plat::PadEffectRecords(first);
    ASSERT_EQ(effects.size(), 2u);
    EXPECT_EQ(effects[0].effect.type, plat::DiEffectType::Sine);
    EXPECT_EQ(effects[0].effect.period, 1500000u);
    EXPECT_EQ(effects[0].effect.envelope.attackTime, 500000u);
    EXPECT_EQ(effects[0].effect.envelope.fadeTime, 1000000u);
    EXPECT_EQ(effects[1].effect.type, plat::DiEffectType::ConstantForce);
    EXPECT_EQ(effects[1].effect.magnitude, 10000);
    EXPECT_FALSE(effects[0].playing);
}

// Fault mended: the read that starts input leaves a cleared buffer, not the caller's bytes.
TEST_F(InputStartupTest, FirstReadStartsInputAndClearsTheBuffer) {
    plat::SetTestKey('Z', true);
    char keys[256];
    std::memset(keys, 0x55, sizeof(keys));
    TheWindow().active = 0;
    EXPECT_EQ(ReadKeyStates(keys), 0);
    EXPECT_EQ(State().started, 1u);
    // The wait (with its pump) comes before the start, whose own pump then meets an active
    // window.
    EXPECT_EQ(seen_.waits, 1);
    EXPECT_EQ(seen_.pumps, 2);
    for (char k : keys) ASSERT_EQ(k, 0);
    AdvanceMs(1);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2C});
}

// A start-up result of 1 is no key code and no pad bit.
TEST_F(InputStartupTest, ReadsThatStartInputReportNoInput) {
    plat::FailNextDirectInputCalls(plat::DiFault::EventNotification, 1,
                                   plat::InputDeviceKind::KeyboardDevice);
    plat::SetTestKey(plat::VK_ESCAPE, true);
    EXPECT_EQ(CheckAnyInput(1), 0);
    EXPECT_EQ(State().started, 1u);
    TermInputSystem();
    plat::FailNextDirectInputCalls(plat::DiFault::EventNotification, 1,
                                   plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(ReadPadInputBits(0x1001), 0);
    EXPECT_EQ(State().started, 1u);
    TermInputSystem();
    plat::FailNextDirectInputCalls(plat::DiFault::EventNotification, 1,
                                   plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(StopJoypadVibration(1), 1);
}

TEST_F(InputStartupTest, ClosingWindowStartsNothing) {
    TheWindow().closing = 1;
    char keys[256] = {};
    EXPECT_EQ(ReadKeyStates(keys), 0);
    EXPECT_EQ(State().started, 0u);
    EXPECT_TRUE(plat::LiveInputDevices().empty());
}

}  // namespace
