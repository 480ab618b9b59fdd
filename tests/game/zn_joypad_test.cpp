#include <gtest/gtest.h>

#include "library_entries.h"
#include "tests/game/library_stand_in.h"
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

TEST(LibraryEntriesTest, MissingEntriesReportFailureNotSuccess) {
    resetLibraryEntries();
    const LibraryEntries& e = libraryEntries();
    int handles[2] = {5, 5};
    int w = 0;
    int h = 0;
    EXPECT_EQ(e.readPadInputBits(0x1001), 0);
    EXPECT_EQ(e.loadGraphFromPath("res\\Player.bmp", 0), -1);
    EXPECT_EQ(e.loadDivGraphFromPath("res\\bomb.bmp", 2, 2, 1, 16, 32, handles, 0), -1);
    EXPECT_EQ(e.queryGraphSize(1, &w, &h), -1);
    EXPECT_EQ(e.loadSoundFromFile("res\\shoot.wav", 3, -1), -1);
    EXPECT_EQ(e.playSoundHandle(1, 1, 1), -1);
    EXPECT_EQ(e.stopSoundHandle(1), -1);
    EXPECT_EQ(e.setSoundHandleVolume(255, 1), -1);
    GameDateTime now;
    e.getLocalDateTime(&now);
    EXPECT_GE(now.year, 2000);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
}

TEST(LibraryEntriesTest, StandInIsRemovedWhenItEnds) {
    {
        LibraryStandIn lib;
        lib.setPadBits(PAD_SHOT);
        EXPECT_EQ(libraryEntries().readPadInputBits(0x1001), static_cast<int>(PAD_SHOT));
    }
    EXPECT_EQ(libraryEntries().readPadInputBits, defaultLibraryEntries().readPadInputBits);
    EXPECT_EQ(libraryEntries().readPadInputBits(0x1001), 0);
}

}  // namespace
