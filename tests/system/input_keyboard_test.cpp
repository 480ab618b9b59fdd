#include <cstring>

#include "platform/dinput/keyboard_state.h"
#include "tests/support/input_fixture.h"

namespace {

struct KeyCase {
    uint32_t virtualKey;
    int dik;
};

// Keys of both roads: through the keyboard device and through the whole keyboard state.
const KeyCase kKeys[] = {
    {'A', 0x1E}, {'Z', 0x2C}, {'P', 0x19}, {'5', 0x06}, {plat::VK_UP, 0xC8},
    {plat::VK_DOWN, 0xD0}, {plat::VK_ESCAPE, 0x01}, {plat::VK_SPACE, 0x39},
    {plat::VK_BACK, 0x0E}, {plat::VK_DELETE, 0xD3}, {plat::VK_NUMPAD0 + 4, 0x4B},
    {plat::VK_DIVIDE, 0xB5}, {plat::VK_OEM_3, 0x91}, {plat::VK_OEM_COMMA, 0x33},
};

class InputKeyboardRoadTest : public InputFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(InputKeyboardRoadTest, KeysComeOutByDeviceKeyCode) {
    Start(/*noDirectInput=*/GetParam());
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.virtualKey);
        plat::SetTestKey(c.virtualKey, true);
        AdvanceMs(1);
        EXPECT_EQ(KeysDown(), std::vector<int>{c.dik});
        plat::SetTestKey(c.virtualKey, false);
        AdvanceMs(1);
        EXPECT_TRUE(KeysDown().empty());
    }
}

// The keys of the second group: the device road has them from the device, the other road
// from the second group of the key table (Return also as keypad Enter there).
TEST_P(InputKeyboardRoadTest, SecondGroupKeys) {
    const bool joystickRoad = GetParam();
    Start(joystickRoad);
    plat::SetTestKey(plat::VK_F1, true);
    plat::SetTestKey(plat::VK_SHIFT, true);
    AdvanceMs(1);
    EXPECT_EQ(KeysDown(), (std::vector<int>{0x2A, 0x3B}));
    plat::SetTestKey(plat::VK_F1, false);
    plat::SetTestKey(plat::VK_SHIFT, false);
    plat::SetTestKey(plat::VK_RETURN, true);
    AdvanceMs(1);
    EXPECT_EQ(KeysDown(), joystickRoad ? (std::vector<int>{0x1C, 0x9C}) : std::vector<int>{0x1C});
}

INSTANTIATE_TEST_SUITE_P(Roads, InputKeyboardRoadTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "JoystickRoad" : "DeviceRoad";
                         });

using InputKeyboardTest = InputFixture;

TEST_F(InputKeyboardTest, TwoReadsInOneMillisecondReadTheDeviceOnce) {
    Start();
    const uint64_t before = Reads(plat::InputDeviceKind::KeyboardDevice);
    KeysDown();
    KeysDown();
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardDevice) - before, 1u);
    AdvanceMs(1);
    KeysDown();
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardDevice) - before, 2u);
    // A change sets the device's event: read again within the same millisecond.
    plat::SetTestKey('X', true);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2D});
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardDevice) - before, 3u);
    KeysDown();
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardDevice) - before, 3u);
}

TEST_F(InputKeyboardTest, WithoutTheDeviceTheKeyboardStateIsReadOncePerMillisecond) {
    Start(/*noDirectInput=*/true);
    const uint64_t before = Reads(plat::InputDeviceKind::KeyboardState);
    KeysDown();
    plat::SetTestKey('X', true);
    EXPECT_TRUE(KeysDown().empty());
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardState) - before, 1u);
    AdvanceMs(1);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2D});
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardState) - before, 2u);
}

TEST_F(InputKeyboardTest, LostKeyboardIsAcquiredAgain) {
    Start();
    TheWindow().mainThreadId = 0xFFFF;  // no overlay: only the device speaks
    plat::LoseInputDevices(plat::InputDeviceKind::KeyboardDevice);
    plat::SetTestKey('C', true);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2E});
    bool acquired = false;
    for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
        if (r.guid == plat::GUID_SysKeyboard) acquired = r.acquired;
    }
    EXPECT_TRUE(acquired);
}

TEST_F(InputKeyboardTest, ReadFailingTwiceKeepsTheSnapshot) {
    Start();
    TheWindow().mainThreadId = 0xFFFF;
    plat::SetTestKey('C', true);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2E});
    AdvanceMs(1);
    plat::SetTestKey('C', false);
    plat::FailNextInputReads(plat::InputDeviceKind::KeyboardDevice, 2);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x2E});
    AdvanceMs(1);
    EXPECT_TRUE(KeysDown().empty());
}

// The whole keyboard state is laid over the device's snapshot for the first group, on the
// main thread only and unless switched off.
TEST_F(InputKeyboardTest, OverlayOnTheMainThreadOnly) {
    Start();
    plat::SetTestKey('Q', true);
    AdvanceMs(1);
    plat::FailNextInputReads(plat::InputDeviceKind::KeyboardDevice, 2);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x10});  // from the overlay
    plat::SetTestKey('Q', false);
    AdvanceMs(1);
    TheWindow().mainThreadId = 0xFFFF;
    plat::FailNextInputReads(plat::InputDeviceKind::KeyboardDevice, 2);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x10});  // the device's old snapshot stands
    TheWindow().mainThreadId = plat::CurrentThreadId();
    State().overlayOff = 1;
    AdvanceMs(1);
    plat::FailNextInputReads(plat::InputDeviceKind::KeyboardDevice, 2);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x10});
}

TEST_F(InputKeyboardTest, QuitFromThePumpKeepsTheSnapshot) {
    Start();
    TheWindow().mainThreadId = 0xFFFF;
    plat::SetTestKey('D', true);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x20});
    SetQuitRequested();  // the pump reports that the library is to end
    plat::SetTestKey('D', false);
    AdvanceMs(1);
    const uint64_t before = Reads(plat::InputDeviceKind::KeyboardDevice);
    EXPECT_EQ(KeysDown(), std::vector<int>{0x20});
    EXPECT_EQ(Reads(plat::InputDeviceKind::KeyboardDevice), before);
}

TEST_F(InputKeyboardTest, ReadsRunTheInactiveWaitAndRefuseANullBuffer) {
    Start();
    const int waits = seen_.waits;
    TheWindow().active = 0;
    KeysDown();
    TheWindow().active = 0;
    ReadPadInputBits(0x1001);
    TheWindow().active = 0;
    CheckAnyInput(1);
    TheWindow().active = 0;
    StopJoypadVibration(1);
    EXPECT_EQ(seen_.waits - waits, 4);
    EXPECT_EQ(ReadKeyStates(nullptr), -1);
}

}  // namespace
