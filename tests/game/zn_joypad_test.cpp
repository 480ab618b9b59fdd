#include <gtest/gtest.h>

#include "tests/game/stand_in/library_stand_in.h"
#include "zn_joypad.h"

namespace {

TEST(ZnJoypadTest, ButtonEdgesPressHeldReleasedUp) {
    LibraryStandIn lib;
    ZnJoypad pad;
    const uint32_t script[] = {PAD_SHOT, PAD_SHOT, 0, 0};
    const int expected[] = {1, 3, 2, 0};
    for (int i = 0; i < 4; ++i) {
        lib.setPadBits(script[i]);
        pad.update();
        EXPECT_EQ(pad.test(PAD_SHOT), expected[i]) << "step " << i;
        EXPECT_EQ(pad.getShot(), expected[i]) << "step " << i;
    }
}

TEST(ZnJoypadTest, ReadsPadOneWithTheKeyboardOncePerUpdate) {
    LibraryStandIn lib;
    ZnJoypad pad;
    pad.update();
    pad.update();
    ASSERT_EQ(lib.calls().size(), 2u);
    for (const StandInCall& c : lib.calls()) {
        EXPECT_EQ(c.op, "pad");
        EXPECT_EQ(c.a, 0x1001);
    }
}

TEST(ZnJoypadTest, NamedTestsUseTheirBits) {
    LibraryStandIn lib;
    ZnJoypad pad;
    struct Case {
        uint32_t bit;
        int (DhJoypadState::*getter)() const;
    };
    const Case cases[] = {{PAD_DOWN, &DhJoypadState::getDown},
                          {PAD_UP, &DhJoypadState::getUp},
                          {PAD_SHOT, &DhJoypadState::getShot},
                          {PAD_BOMB, &DhJoypadState::getBomb},
                          {PAD_CAPTURE, &DhJoypadState::getCapture}};
    for (const Case& c : cases) {
        lib.setPadBits(0);
        pad.update();
        lib.setPadBits(c.bit);
        pad.update();
        for (const Case& other : cases) {
            EXPECT_EQ((pad.*other.getter)(), other.bit == c.bit ? 1 : 0) << c.bit << " " << other.bit;
        }
    }
}

TEST(ZnJoypadTest, DirectionIsTheFourLowBitsOfThisStep) {
    LibraryStandIn lib;
    ZnJoypad pad;
    lib.setPadBits(PAD_LEFT | PAD_UP);
    pad.update();
    lib.setPadBits(PAD_RIGHT | PAD_SHOT | PAD_BOMB | PAD_CAPTURE);
    pad.update();
    EXPECT_EQ(pad.getDirection(), static_cast<uint32_t>(PAD_RIGHT));
}

}  // namespace
