// The on-screen console through the assembled library: created hidden and empty at start-up
// with a font of its own, drawn over the screen by every present while shown, its font made
// again after all fonts were deleted, and the font deleted at shut-down.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/screen_overlay_driver.h"
#include "graphics/font/font.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "system/screen_console.h"
#include "tests/support/headless_library_fixture.h"

namespace {

class ScreenConsoleTest : public HeadlessLibraryFixture {
protected:
    void TearDown() override {
        HeadlessLibraryFixture::TearDown();
        GetScreenConsoleState() = ScreenConsoleState{};
        GetScreenConsoleState().fontHandle = -1;
    }

    static void Start(bool softwareScreen) {
        ASSERT_EQ(PrepareWindowedStart(16, false), 0);
        if (!softwareScreen) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
    }

    // White pixels of the shown picture in rows [top, bottom).
    static int WhiteIn(int32_t top, int32_t bottom) {
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
        int n = 0;
        for (int32_t y = top; y < bottom && y < shown.height; ++y) {
            for (int32_t x = 0; x < 640 && x < shown.width; ++x) {
                n += shown.pixels[static_cast<size_t>(y) * shown.width + x] == 0x00FFFFFF;
            }
        }
        return n;
    }
};

TEST_F(ScreenConsoleTest, StartUpCreatesItHiddenAndEmptyWithItsFont) {
    Start(true);
    const ScreenConsoleState& c = GetScreenConsoleState();
    EXPECT_EQ(c.active, 1u);
    EXPECT_EQ(c.shown, 0u);
    EXPECT_EQ(c.fontSize, 16);
    EXPECT_EQ(c.layout[1], 4);
    EXPECT_EQ(c.text[0][0], '\0');
    ASSERT_EQ(IsValidFontHandle(c.fontHandle), 1);
    const FontRecord* font = GetFontRecord(c.fontHandle);
    EXPECT_EQ(font->type, kFontTypeEdge);
    EXPECT_EQ(font->size, 16);
    EXPECT_EQ(font->thickness, 4);
    EXPECT_FALSE(ScreenOverlaySlot().IsAbsent());

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(c.active, 0u);
    EXPECT_EQ(c.fontHandle, -1);
    EXPECT_TRUE(ScreenOverlaySlot().IsAbsent());
}

TEST_F(ScreenConsoleTest, AShownConsoleAppearsInEveryPresentedPicture) {
    for (bool software : {true, false}) {
        SCOPED_TRACE(software ? "software screen" : "DirectDraw surfaces");
        Start(software);
        ASSERT_EQ(SetScreenConsoleLine(0, "CONSOLE"), 0);
        ASSERT_EQ(SetScreenConsoleLine(29, "LAST"), 0);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        // Hidden: the picture stays black.
        ASSERT_EQ(ApiPresentScreen(), 0);
        EXPECT_EQ(WhiteIn(0, 480), 0);

        ASSERT_EQ(SetScreenConsoleShown(1), 0);
        // The caller's blend and draw area do not reach the console, and come back after it.
        ASSERT_EQ(ApiSetBlendMode(kBlendAlpha, 10), 0);
        ASSERT_EQ(SetDrawAreaRect(300, 300, 310, 310), 0);
        ASSERT_EQ(ApiPresentScreen(), 0);
        EXPECT_GT(WhiteIn(0, 16), 20);       // line 0
        EXPECT_GT(WhiteIn(464, 480), 10);    // line 29, the last of 480 / 16
        EXPECT_EQ(WhiteIn(20, 460), 0);      // empty lines draw nothing
        EXPECT_EQ(GetDrawState().blendMode, kBlendAlpha);
        EXPECT_EQ(GetDrawState().blendParam, 10);
        EXPECT_EQ(GetDrawState().drawArea.left, 300);
        EXPECT_EQ(GetDrawState().drawArea.right, 310);
        SetScreenConsoleShown(0);
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

TEST_F(ScreenConsoleTest, ItsFontIsMadeAgainAfterEveryFontWasDeleted) {
    Start(true);
    ScreenConsoleState& c = GetScreenConsoleState();
    ASSERT_EQ(c.fontMissing, 0);
    DeleteAllFonts();
    EXPECT_EQ(c.fontMissing, 1);
    ASSERT_EQ(SetScreenConsoleLine(0, "X"), 0);
    ASSERT_EQ(DrawScreenConsole(), 0);
    EXPECT_EQ(c.fontMissing, 0);
    EXPECT_EQ(IsValidFontHandle(c.fontHandle), 1);
    EXPECT_EQ(SetScreenConsoleLine(80, "X"), -1);
    EXPECT_EQ(SetScreenConsoleLine(-1, "X"), -1);
    EXPECT_EQ(SetScreenConsoleLine(0, nullptr), -1);
    // A line longer than the buffer is cut, never written past it.
    const std::string longLine(400, 'Z');
    ASSERT_EQ(SetScreenConsoleLine(1, longLine.c_str()), 0);
    EXPECT_EQ(std::string(c.text[1]).size(), static_cast<size_t>(kConsoleLineBytes - 1));
    ASSERT_EQ(ApiTermLibrary(), 0);
}

}  // namespace
