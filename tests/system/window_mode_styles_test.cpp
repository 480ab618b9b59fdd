// The window-mode pieces of the window system: the style pairs of the seven style modes with
// their windowed extras, the window scale, the windowed window's origin, and the cursor's
// visibility.
#include <gtest/gtest.h>

#include <string>

#include "platform/window/window_messages.h"
#include "system/window_cursor.h"
#include "system/window_placement.h"
#include "system/window_styles.h"
#include "tests/support/library_fixture.h"

namespace {

using namespace plat;

using WindowModeStylesTest = LibraryFixture;

TEST_F(WindowModeStylesTest, EachStyleModeHasItsPairs) {
    struct Row {
        uint32_t windowed, windowedEx, full, fullEx;
    };
    const Row rows[kWindowStyleModes] = {
        {0x80CA0000u, 0x300u, 0x80000000u, 0x8u}, {0x80080000u, 0x300u, 0x80000000u, 0x8u},
        {0x80080000u, 0x000u, 0x80000000u, 0x8u}, {0x80CA0000u, 0x080u, 0x80000000u, 0x8u},
        {0x80080000u, 0x080u, 0x80000000u, 0x8u}, {0x80C80000u, 0x100u, 0x0u, 0x0u},
        {0x80CA0000u, 0x000u, 0x0u, 0x0u},
    };
    WindowSettings& settings = GetWindowData().settings;
    for (uint32_t mode = 0; mode < kWindowStyleModes; ++mode) {
        SCOPED_TRACE(mode);
        settings.styleMode = mode;
        EXPECT_EQ(GetWindowedStyle().style, rows[mode].windowed);
        EXPECT_EQ(GetWindowedStyle().exStyle, rows[mode].windowedEx);
        EXPECT_EQ(GetFullScreenStyle().style, rows[mode].full);
        EXPECT_EQ(GetFullScreenStyle().exStyle, rows[mode].fullEx);
    }
}

TEST_F(WindowModeStylesTest, TheWindowedExtrasFollowTheirSwitches) {
    struct Case {
        const char* name;
        uint32_t modeChange, styleApplied, resizable, hidden;
        uint32_t style, exStyle;
    };
    const Case cases[] = {
        {"none", 0, 0, 0, 0, 0x80CA0000u, 0x300u},
        {"mode change", 1, 0, 0, 0, 0x80CA0000u | WS_MAXIMIZEBOX, 0x300u},
        {"applied", 0, 1, 0, 0, 0x80CA0000u | WS_VISIBLE, 0x300u},
        {"applied with mode change", 1, 1, 0, 0, 0x80CA0000u | WS_VISIBLE | WS_MAXIMIZEBOX, 0x300u},
        {"resizable", 0, 0, 1, 0, 0x80CA0000u | WS_THICKFRAME, 0x300u},
        {"hidden", 0, 0, 0, 1, 0x80CA0000u, 0x300u | WS_EX_TRANSPARENT},
    };
    WindowData& data = GetWindowData();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data.settings.modeChangeSwitch = c.modeChange;
        data.settings.styleApplied = c.styleApplied;
        data.window.resizable = c.resizable;
        data.settings.hiddenWindow = c.hidden;
        EXPECT_EQ(GetWindowedStyle().style, c.style);
        EXPECT_EQ(GetWindowedStyle().exStyle, c.exStyle);
        // The full-screen pair has no extras.
        EXPECT_EQ(GetFullScreenStyle().style, 0x80000000u);
    }
}

TEST_F(WindowModeStylesTest, AScaleOfZeroIsStoredAsOne) {
    WindowSettings& settings = GetWindowData().settings;
    settings.windowScale = 0.0;
    EXPECT_EQ(GetWindowScale(), 1.0);
    EXPECT_EQ(settings.windowScale, 1.0);
    settings.windowScale = 2.5;
    EXPECT_EQ(GetWindowScale(), 2.5);
    EXPECT_EQ(settings.windowScale, 2.5);
}

TEST_F(WindowModeStylesTest, AWindowIsCentredOrAtItsSetPosition) {
    Point p = WindowedWindowOrigin(1920, 1080, 641, 481);
    EXPECT_EQ(p.x, 639);
    EXPECT_EQ(p.y, 299);
    // Halves are taken toward zero also when the window is larger than the desktop.
    p = WindowedWindowOrigin(800, 600, 961, 721);
    EXPECT_EQ(p.x, -80);
    EXPECT_EQ(p.y, -60);
    WindowSettings& settings = GetWindowData().settings;
    settings.windowX = -5;
    settings.windowY = 7;
    settings.useWindowPosition = 1;
    p = WindowedWindowOrigin(1920, 1080, 640, 480);
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, 7);
}

// Removes the WM_SETCURSOR messages waiting for the window and counts them.
int TakeSetCursorMessages() {
    int count = 0;
    Message m{};
    while (PeekMessage(&m, GetWindowData().window.handle, WM_SETCURSOR, WM_SETCURSOR, PM_REMOVE)) {
        ++count;
    }
    return count;
}

TEST_F(WindowModeStylesTest, TheCursorChangesOnlyWhenItsStateDoes) {
    ApiChangeWindowMode(1);
    StartWithoutPumpThread();
    WindowState& window = GetWindowData().window;
    ASSERT_EQ(window.cursorShown, 1u) << "a window shows the cursor";
    TakeSetCursorMessages();

    EXPECT_EQ(SetMouseCursorVisibility(1), 0);
    EXPECT_EQ(TakeSetCursorMessages(), 0);

    EXPECT_EQ(SetMouseCursorVisibility(0), 0);
    EXPECT_EQ(TakeSetCursorMessages(), 1);
    EXPECT_EQ(window.cursorShown, 0u);
    EXPECT_EQ(window.cursorWanted, 0u);
    EXPECT_LT(ShowCursor(false), -1) << "the display count went below 0";
    ShowCursor(true);
    EXPECT_EQ(SetMouseCursorVisibility(0), 0);
    EXPECT_EQ(TakeSetCursorMessages(), 0);

    EXPECT_EQ(SetMouseCursorVisibility(1), 0);
    EXPECT_EQ(TakeSetCursorMessages(), 1);
    EXPECT_GE(ShowCursor(false), -1) << "the display count came back to 0 or more";
    ShowCursor(true);
    EXPECT_EQ(window.cursorShown, 1u);
}

}  // namespace
