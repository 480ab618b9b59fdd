#include "platform/dinput/joystick.h"

#include "platform/dinput/input_backend.h"
#include "tests/platform/dinput/input_device_fixture.h"

namespace {

using JoystickTest = InputDeviceFixture;

TEST_F(JoystickTest, CapabilitiesFollowThePadsInOrder) {
    struct Case {
        int axes;
        int hats;
        uint32_t caps;
    };
    const Case cases[] = {
        {2, 0, 0},
        {3, 0, plat::JOYCAPS_HASZ},
        {4, 1, plat::JOYCAPS_HASZ | plat::JOYCAPS_HASR | plat::JOYCAPS_HASPOV | plat::JOYCAPS_POV4DIR},
        {6, 0, plat::JOYCAPS_HASZ | plat::JOYCAPS_HASR | plat::JOYCAPS_HASU | plat::JOYCAPS_HASV},
    };
    for (const Case& c : cases) {
        plat::TestPadSpec spec;
        spec.axes = c.axes;
        spec.hats = c.hats;
        spec.buttons = 10;
        plat::AttachTestPad(spec);
    }
    EXPECT_EQ(plat::JoyGetNumDevs(), 16u);
    for (uint32_t id = 0; id < 4; ++id) {
        plat::JoyCaps caps{};
        ASSERT_EQ(plat::JoyGetDevCaps(id, &caps), plat::JOYERR_NOERROR);
        EXPECT_EQ(caps.caps, cases[id].caps) << "id " << id;
        EXPECT_EQ(caps.numButtons, 10u);
        EXPECT_EQ(caps.xMax, 65535u);
        EXPECT_STREQ(caps.name, "Test Pad");
    }
    plat::JoyCaps caps{};
    EXPECT_EQ(plat::JoyGetDevCaps(4, &caps), plat::JOYERR_UNPLUGGED);
    EXPECT_EQ(plat::JoyGetDevCaps(16, &caps), plat::JOYERR_PARMS);
    EXPECT_EQ(plat::JoyGetDevCaps(0, nullptr), plat::JOYERR_PARMS);
}

TEST_F(JoystickTest, PositionsAreRawWithButtonsAndPointOfView) {
    plat::TestPadSpec spec;
    spec.axes = 4;
    spec.hats = 1;
    spec.buttons = 4;
    const uint32_t id = plat::AttachTestPad(spec);
    plat::SetTestPadAxis(id, 0, -32768);
    plat::SetTestPadAxis(id, 1, 32767);
    plat::SetTestPadAxis(id, 3, -20000);
    plat::SetTestPadButton(id, 1, true);
    plat::SetTestPadButton(id, 3, true);
    plat::SetTestPadButton(id, 20, true);  // beyond the pad's buttons
    plat::SetTestPadHat(id, 0, plat::kHatRight);

    plat::JoyInfoEx info{};
    info.flags = plat::JOY_RETURNALL;
    ASSERT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_NOERROR);
    EXPECT_EQ(info.xPos, 0u);
    EXPECT_EQ(info.yPos, 65535u);
    EXPECT_EQ(info.zPos, 32768u);
    EXPECT_EQ(info.rPos, 12768u);
    EXPECT_EQ(info.uPos, 32767u);  // no such axis: centred
    EXPECT_EQ(info.buttons, 0xAu);
    EXPECT_EQ(info.buttonNumber, 2u);
    EXPECT_EQ(info.pov, 9000u);

    plat::SetTestPadHat(id, 0, 0);
    info.flags = plat::JOY_RETURNPOV;
    info.xPos = 77;
    ASSERT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_NOERROR);
    EXPECT_EQ(info.pov, plat::JOY_POVCENTERED);
    EXPECT_EQ(info.xPos, 77u);  // not asked for
}

TEST_F(JoystickTest, MissingPadsAndFailedReadsReportUnplugged) {
    plat::JoyInfoEx info{};
    info.flags = plat::JOY_RETURNALL;
    EXPECT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_UNPLUGGED);
    EXPECT_EQ(plat::JoyGetPosEx(16, &info), plat::JOYERR_PARMS);
    const uint32_t id = plat::AttachTestPad();
    plat::FailNextInputReads(plat::InputDeviceKind::Pad, 1);
    const uint64_t before = plat::InputReadCount(plat::InputDeviceKind::Pad);
    EXPECT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_UNPLUGGED);
    EXPECT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_NOERROR);
    EXPECT_EQ(plat::InputReadCount(plat::InputDeviceKind::Pad) - before, 2u);
    plat::DetachTestPad(id);
    EXPECT_EQ(plat::JoyGetPosEx(0, &info), plat::JOYERR_UNPLUGGED);
}

}  // namespace
