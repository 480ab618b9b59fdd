#include "tests/support/input_fixture.h"

namespace {

class InputAnyInputTest : public InputFixture, public ::testing::WithParamInterface<bool> {};

// Caps Lock, Kana and Kanji stay "down" while locked and are no input; other keys give their
// device key code, the lowest first.
TEST_P(InputAnyInputTest, LockKeysDoNotCount) {
    Start(/*noDirectInput=*/GetParam());
    plat::SetTestKey(plat::VK_CAPITAL, true);
    plat::SetTestKey(plat::VK_KANA, true);
    plat::SetTestKey(plat::VK_KANJI, true);
    AdvanceMs(1);
    EXPECT_EQ(CheckAnyInput(1), 0);
    plat::SetTestKey('Z', true);
    AdvanceMs(1);
    EXPECT_EQ(CheckAnyInput(1), 0x2C);
    plat::SetTestKey(plat::VK_ESCAPE, true);
    AdvanceMs(1);
    EXPECT_EQ(CheckAnyInput(1), 0x01);
    EXPECT_EQ(CheckAnyInput(4), 0);  // keys are not looked at for the mouse
}

TEST_P(InputAnyInputTest, PadsUnderTheKeyboardMaskAndTheMouseUnderItsOwn) {
    plat::TestPadSpec spec;
    const uint32_t id = plat::AttachTestPad(spec);
    Start(/*noDirectInput=*/GetParam());
    EXPECT_EQ(CheckAnyInput(7), 0);
    plat::SetTestPadButton(id, 3, true);
    AdvanceMs(1);
    EXPECT_EQ(CheckAnyInput(1), -1);
    EXPECT_EQ(CheckAnyInput(2), 0);  // the value 2 looks at nothing
    EXPECT_EQ(CheckAnyInput(4), 0);
    plat::SetTestPadButton(id, 3, false);
    plat::SetTestMouseButton(2, true);
    AdvanceMs(1);
    EXPECT_EQ(CheckAnyInput(1), 0);
    EXPECT_EQ(CheckAnyInput(4), -1);
    EXPECT_EQ(GetMouseButtons(), 4);
}

INSTANTIATE_TEST_SUITE_P(Roads, InputAnyInputTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "JoystickRoad" : "DeviceRoad";
                         });

using InputAnyInputFlagTest = InputFixture;

TEST_F(InputAnyInputFlagTest, F10FlagCountsAsF10WhenNoKeyIsDown) {
    Start();
    TheWindow().f10KeyHeld = 1;
    EXPECT_EQ(CheckAnyInput(1), 0x44);
    plat::SetTestKey('W', true);
    EXPECT_EQ(CheckAnyInput(1), 0x11);
    TheWindow().f10KeyHeld = 0;
    plat::SetTestKey('W', false);
    EXPECT_EQ(CheckAnyInput(1), 0);
}

TEST_F(InputAnyInputFlagTest, MouseDeviceIsAcquiredByItsFirstReadAndFailuresGiveNone) {
    Start();
    plat::SetTestMouseButton(0, true);
    plat::SetTestMouseButton(1, true);
    EXPECT_EQ(GetMouseButtons(), 3);
    plat::FailNextInputReads(plat::InputDeviceKind::Mouse, 2);
    EXPECT_EQ(GetMouseButtons(), 0);
    EXPECT_EQ(GetMouseButtons(), 3);
}

}  // namespace
