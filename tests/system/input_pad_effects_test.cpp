#include "tests/support/input_fixture.h"

namespace {

class InputPadEffectsTest : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        plat::TestPadSpec spec;
        spec.forceFeedback = true;
        pad_ = plat::AttachTestPad(spec);
        Start();
    }

    // Switches pad 1's vibration on with a play time, as a vibration start would.
    void Vibrate(int32_t playTime, int32_t power = 10000) {
        InputPadRecord& pad = State().pads[0];
        pad.vibrationRequest = 1;
        pad.vibrationPower = power;
        pad.playTime = playTime;
        pad.elapsedPlayTime = 0;
        pad.lastTimerStep = plat::MillisecondClock();
    }

    // Whether the sine and the constant force play now.
    std::pair<bool, bool> Playing() {
        const auto effects = plat::PadEffectRecords(pad_);
        EXPECT_EQ(effects.size(), 2u);
        if (effects.size() != 2) return {false, false};
        return {effects[0].playing, effects[1].playing};
    }

    uint32_t pad_ = 0;
};

TEST_F(InputPadEffectsTest, EffectsFollowTheRequestAndThePower) {
    EXPECT_EQ(Playing(), std::make_pair(false, false));
    Vibrate(-1);
    EXPECT_EQ(RefreshPadEffects(), 0);
    EXPECT_EQ(Playing(), std::make_pair(true, true));
    EXPECT_EQ(plat::PadEffectRecords(pad_)[0].lastIterations, 1u);
    State().pads[0].vibrationPower = 5000;  // not above 5000: no constant force
    RefreshPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(true, false));
    RefreshPadEffects();  // nothing to change: no second start
    EXPECT_EQ(plat::PadEffectRecords(pad_)[0].starts, 1u);
    EXPECT_EQ(StopJoypadVibration(1), 0);
    EXPECT_EQ(Playing(), std::make_pair(false, false));
    EXPECT_EQ(State().pads[0].vibrationRequest, 0);
    EXPECT_EQ(State().pads[0].vibrationPower, 10000);
}

TEST_F(InputPadEffectsTest, InactiveWindowStopsEverythingUntilActiveAgain) {
    Vibrate(-1);
    RefreshPadEffects();
    TheWindow().active = 0;
    RefreshPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(false, false));
    EXPECT_EQ(State().pads[0].vibrationRequest, 1);  // the request stays
    TheWindow().active = 1;
    RefreshPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(true, true));
}

TEST_F(InputPadEffectsTest, PlayTimeRunsOnThePumpsCalls) {
    Vibrate(100);
    ProcessPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(true, true));
    AdvanceMs(60);
    ProcessPadEffects();
    AdvanceMs(39);
    ProcessPadEffects();
    EXPECT_EQ(State().pads[0].elapsedPlayTime, 99);
    EXPECT_EQ(Playing(), std::make_pair(true, true));
    AdvanceMs(1);
    const int waits = seen_.waits;
    TheWindow().active = 0;  // an inactive-window wait would meet it and end it
    ProcessPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(false, false));
    EXPECT_EQ(State().pads[0].vibrationRequest, 0);
    // Stopped without the inactive-window wait: this runs inside the message pump.
    EXPECT_EQ(seen_.waits, waits);
    EXPECT_EQ(TheWindow().active, 0u);
}

TEST_F(InputPadEffectsTest, EndlessVibrationIsNotTimed) {
    Vibrate(-1);
    AdvanceMs(100000);
    ProcessPadEffects();
    EXPECT_EQ(Playing(), std::make_pair(true, true));
    EXPECT_EQ(State().pads[0].elapsedPlayTime, 0);
}

TEST_F(InputPadEffectsTest, ClockWrapCountsAndAClockGoingBackRestarts) {
    Vibrate(1000);
    InputPadRecord& pad = State().pads[0];
    const uint32_t now = plat::MillisecondClock();
    pad.lastTimerStep = now - 30;  // across any wrap the difference is what counts
    ProcessPadEffects();
    EXPECT_EQ(pad.elapsedPlayTime, 30);
    pad.lastTimerStep = now + 500;  // the clock went back
    ProcessPadEffects();
    EXPECT_EQ(pad.elapsedPlayTime, 30);
    EXPECT_EQ(pad.lastTimerStep, now);
}

TEST_F(InputPadEffectsTest, ThePumpStepRunsTheTimers) {
    Vibrate(10);
    AdvanceMs(10);
    StepJoypadEffects();
    EXPECT_EQ(State().pads[0].vibrationRequest, 0);
}

TEST_F(InputPadEffectsTest, ReacquireUsesTheLevelOfTheWindowsState) {
    auto padLevel = [this] {
        for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
            if (r.padId == pad_) return std::make_pair(r.cooperativeFlags, r.acquired);
        }
        return std::make_pair(0u, false);
    };
    TheWindow().active = 0;
    EXPECT_EQ(ReacquireInputDevices(), 0);
    EXPECT_EQ(padLevel(), std::make_pair(plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND, true));
    TheWindow().active = 1;
    plat::LoseInputDevices(plat::InputDeviceKind::KeyboardDevice);
    ReacquireInputDevices();
    EXPECT_EQ(padLevel(), std::make_pair(plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND, true));
    for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
        if (r.guid == plat::GUID_SysKeyboard) {
            EXPECT_TRUE(r.acquired);
        }
    }
}

TEST_F(InputPadEffectsTest, JoystickRoadHasNoEffects) {
    TermInputSystem();
    Start(/*noDirectInput=*/true);
    EXPECT_EQ(RefreshPadEffects(), 0);
    EXPECT_EQ(ProcessPadEffects(), 0);
    EXPECT_EQ(ReacquireInputDevices(), 0);
    EXPECT_EQ(SetupJoypads(), -1);
}

}  // namespace
