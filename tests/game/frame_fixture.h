// The main frame started through the application as the program starts it, on the recording
// stand-ins of the library's entries, in a temporary working directory; the test drives the
// main loop one step at a time with the keys and pad bits of each step, and reads back what
// the step drew: the glyphs of the bitmap fonts (as characters, with their brightness) and the
// calls in order.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "main_frame.h"
#include "resource_tables.h"
#include "tests/game/stand_in/app_stand_in.h"
#include "tests/game/stand_in/library_stand_in.h"
#include "tests/support/temp_dir.h"

// Key codes of the keyboard snapshot.
constexpr int kKeyEscape = 1;
constexpr int kKeyP = 0x19;

// A glyph of one of the bitmap fonts as a step drew it.
struct DrawnGlyph {
    int x = 0;
    int y = 0;
    char c = 0;  // '0'-'9', 'A'-'Z' (letters of both cases share tiles) or a mark
    bool large = false;
    int bright = 255;  // red channel of the brightness it was drawn with
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program's start-up with the main frame: question, library start, frame init.
    bool start();
    // One main-loop step with these pad bits and keys down (in this step's snapshot).
    void step(uint32_t pad = 0, std::set<int> keys = {});
    // n steps with nothing pressed.
    void steps(int n);
    // A press of the pad bits: one step down, one step up.
    void press(uint32_t pad);

    // The calls of the last step, from its joypad read to its wait.
    std::vector<std::string> lastStepCalls() const;
    // The font glyphs the last step drew.
    std::vector<DrawnGlyph> lastStepGlyphs() const;
    // n characters drawn by the last step from (x, y) on, one advance apart, in the font;
    // ' ' where no glyph was drawn.
    std::string textAt(int x, int y, int n, bool large) const;
    // The brightness of the glyph drawn at (x, y) in the font by the last step (-1 for none).
    int brightAt(int x, int y, bool large) const;
    // The frame's screens in the application's draw list, by name.
    std::vector<std::string> drawList();

    MainFrame& frame() { return *frame_; }
    GameWorld& world() { return frame_->getWorld(); }

    ScopedTempDir dir_;
    AppStandIn app_;
    LibraryStandIn lib_;
    std::unique_ptr<MainFrame> frame_;
    int steps_ = 0;
};
