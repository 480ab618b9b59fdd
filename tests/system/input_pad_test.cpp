#include "system/input_internal.h"
#include "tests/support/input_fixture.h"

namespace {

class InputPadTest : public InputFixture {
protected:
    // Starts input with one four-axis pad attached.
    uint32_t StartWithPad(bool noDirectInput = false) {
        plat::TestPadSpec spec;
        spec.axes = 4;
        spec.buttons = 26;
        const uint32_t id = plat::AttachTestPad(spec);
        Start(noDirectInput);
        return id;
    }
};

struct AxisCase {
    int32_t x;  // raw -32768..32767
    int32_t y;
    int bits;
};

// Directions through the range and dead zone the set-up gives (a quarter of each side is
// dead), on both roads (the joystick road's own map leaves a quarter dead as well).
const AxisCase kAxisCases[] = {
    {0, 0, 0},
    {7000, -7000, 0},
    {12000, 0, kPadRight},
    {-12000, 0, kPadLeft},
    {0, 12000, kPadDown},
    {0, -12000, kPadUp},
    {32767, 32767, kPadRight | kPadDown},
    {-32768, -32768, kPadLeft | kPadUp},
};

class InputPadRoadTest : public InputPadTest, public ::testing::WithParamInterface<bool> {};

TEST_P(InputPadRoadTest, AxesAndButtonsMakeThePadWord) {
    const uint32_t id = StartWithPad(GetParam());
    for (const AxisCase& c : kAxisCases) {
        plat::SetTestPadAxis(id, 0, c.x);
        plat::SetTestPadAxis(id, 1, c.y);
        AdvanceMs(1);
        EXPECT_EQ(ReadPadInputBits(1), c.bits) << c.x << ", " << c.y;
    }
    plat::SetTestPadAxis(id, 0, 0);
    plat::SetTestPadAxis(id, 1, 0);
    struct ButtonCase {
        int button;
        int bits;
    };
    const ButtonCase buttons[] = {{0, 0x10}, {1, 0x20}, {7, 0x800}, {23, 1 << 27}, {24, 0}, {25, 0}};
    for (const ButtonCase& b : buttons) {
        plat::SetTestPadButton(id, b.button, true);
        AdvanceMs(1);
        EXPECT_EQ(ReadPadInputBits(1), b.bits) << "button " << b.button;
        plat::SetTestPadButton(id, b.button, false);
    }
}

// Pad 1 merged with the keyboard: keys and pad bits add up.
TEST_P(InputPadRoadTest, KeyboardMergesIntoPadOne) {
    const uint32_t id = StartWithPad(GetParam());
    struct KeyCase {
        uint32_t virtualKey;
        int bits;
    };
    const KeyCase keys[] = {
        {plat::VK_DOWN, 0x1},  {plat::VK_NUMPAD0 + 2, 0x1}, {plat::VK_LEFT, 0x2},
        {plat::VK_NUMPAD0 + 4, 0x2}, {plat::VK_RIGHT, 0x4}, {plat::VK_NUMPAD0 + 6, 0x4},
        {plat::VK_UP, 0x8},    {plat::VK_NUMPAD0 + 8, 0x8}, {'Z', 0x10}, {'X', 0x20},
        {'C', 0x40}, {'A', 0x80}, {'S', 0x100}, {'D', 0x200}, {'Q', 0x400}, {'W', 0x800},
        {plat::VK_ESCAPE, 0x1000}, {plat::VK_SPACE, 0x2000}, {'P', 0}, {plat::VK_RETURN, 0},
    };
    for (const KeyCase& k : keys) {
        plat::SetTestKey(k.virtualKey, true);
        AdvanceMs(1);
        EXPECT_EQ(ReadPadInputBits(0x1001), k.bits) << "key " << k.virtualKey;
        EXPECT_EQ(ReadPadInputBits(1), 0);  // without the keyboard
        plat::SetTestKey(k.virtualKey, false);
    }
    plat::SetTestKey('X', true);
    plat::SetTestPadAxis(id, 0, -20000);
    plat::SetTestPadButton(id, 0, true);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(0x1001), kPadLeft | 0x10 | 0x20);
}

INSTANTIATE_TEST_SUITE_P(Roads, InputPadRoadTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "JoystickRoad" : "DeviceRoad";
                         });

TEST_F(InputPadTest, WithoutPadsOnlyTheKeyboardCounts) {
    Start();
    plat::SetTestKey('Z', true);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(0x1001), 0x10);
    EXPECT_EQ(ReadPadInputBits(1), 0);
    EXPECT_EQ(ReadPadInputBits(0), 0);
    EXPECT_EQ(ReadPadInputBits(0x1000), 0x10);
}

TEST_F(InputPadTest, PadNumbersBeyondTheCountGiveNothing) {
    const uint32_t id = StartWithPad();
    plat::SetTestPadButton(id, 0, true);
    plat::SetTestKey('X', true);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(2), 0);
    EXPECT_EQ(ReadPadInputBits(9), 0);
    EXPECT_EQ(ReadPadInputBits(0x1002), 0x20);  // the keyboard alone
    EXPECT_EQ(ReadPadInputBits(1), 0x10);
}

TEST_F(InputPadTest, TwoReadsInOneMillisecondReadThePadOnce) {
    const uint32_t id = StartWithPad();
    const uint64_t before = Reads(plat::InputDeviceKind::Pad);
    ReadPadInputBits(1);
    ReadPadInputBits(1);
    EXPECT_EQ(Reads(plat::InputDeviceKind::Pad) - before, 1u);
    // A change sets the pad's event: read again within the same millisecond.
    plat::SetTestPadButton(id, 1, true);
    EXPECT_EQ(ReadPadInputBits(1), 0x20);
    EXPECT_EQ(Reads(plat::InputDeviceKind::Pad) - before, 2u);
    AdvanceMs(1);
    ReadPadInputBits(1);
    EXPECT_EQ(Reads(plat::InputDeviceKind::Pad) - before, 3u);
}

TEST_F(InputPadTest, JoystickRoadReadsOncePerMillisecond) {
    const uint32_t id = StartWithPad(/*noDirectInput=*/true);
    const uint64_t before = Reads(plat::InputDeviceKind::Pad);
    ReadPadInputBits(1);
    plat::SetTestPadButton(id, 1, true);
    EXPECT_EQ(ReadPadInputBits(1), 0);
    EXPECT_EQ(Reads(plat::InputDeviceKind::Pad) - before, 1u);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(1), 0x20);
}

TEST_F(InputPadTest, LostPadIsAcquiredAgain) {
    const uint32_t id = StartWithPad();
    plat::LoseInputDevices(plat::InputDeviceKind::Pad);
    plat::SetTestPadAxis(id, 1, -30000);
    const int pumps = seen_.pumps;
    EXPECT_EQ(ReadPadInputBits(1), kPadUp);
    EXPECT_EQ(seen_.pumps - pumps, 2);  // around the acquire
    for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
        if (r.padId == id) {
            EXPECT_TRUE(r.acquired);
        }
    }
}

TEST_F(InputPadTest, TransientReadFailureKeepsTheLastState) {
    const uint32_t id = StartWithPad();
    plat::SetTestPadAxis(id, 0, 30000);
    EXPECT_EQ(ReadPadInputBits(1), kPadRight);
    plat::SetTestPadAxis(id, 0, 0);
    AdvanceMs(1);
    plat::FailNextInputReads(plat::InputDeviceKind::Pad, 2);
    EXPECT_EQ(ReadPadInputBits(1), kPadRight);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(1), 0);
}

// Fault mended on both roads: a pad that is gone holds no direction.
TEST_F(InputPadTest, UnpluggedPadLetsGoOnTheDeviceRoad) {
    const uint32_t id = StartWithPad();
    plat::SetTestPadAxis(id, 0, -30000);
    plat::SetTestPadAxis(id, 1, -30000);
    EXPECT_EQ(ReadPadInputBits(1), kPadLeft | kPadUp);
    plat::DetachTestPad(id);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(1), 0);
}

TEST_F(InputPadTest, AbsentPadIsCentredOnTheJoystickRoad) {
    Start(/*noDirectInput=*/true);
    EXPECT_EQ(ReadPadInputBits(1), 0);  // raw values cleared to 0 would read as left and up
    EXPECT_EQ(State().pads[0].state.lX, 0);
    EXPECT_EQ(State().pads[0].state.lY, 0);
    const uint32_t id = plat::AttachTestPad();
    plat::SetTestPadAxis(id, 0, 30000);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(1), kPadRight);
    plat::DetachTestPad(id);
    AdvanceMs(1);
    EXPECT_EQ(ReadPadInputBits(1), 0);
}

TEST(InputJoystickAxisTest, RawValuesMapOntoPlusMinusThousand) {
    struct Case {
        uint32_t raw;
        int32_t value;
    };
    const Case cases[] = {{0, -1000},     {12288, -500}, {24575, 0},   {24576, 0},
                          {30000, 0},     {32767, 0},    {40960, 0},   {40961, 0},
                          {53248, 500},   {65535, 999}};
    for (const Case& c : cases) EXPECT_EQ(MapJoystickAxis(c.raw), c.value) << c.raw;
}

TEST_F(InputPadTest, JoystickRoadReadsZAndROnlyForPadsWithBoth) {
    plat::TestPadSpec four;
    four.axes = 4;
    const uint32_t a = plat::AttachTestPad(four);
    plat::TestPadSpec three;
    three.axes = 3;
    const uint32_t b = plat::AttachTestPad(three);
    Start(/*noDirectInput=*/true);
    plat::SetTestPadAxis(a, 2, 32767);
    plat::SetTestPadAxis(a, 3, -32768);
    plat::SetTestPadAxis(b, 2, 32767);
    ReadPadInputBits(1);
    ReadPadInputBits(2);
    EXPECT_EQ(State().pads[0].state.lZ, 999);
    EXPECT_EQ(State().pads[0].state.lRz, -1000);
    EXPECT_EQ(State().pads[1].state.lZ, 0);
}

}  // namespace
