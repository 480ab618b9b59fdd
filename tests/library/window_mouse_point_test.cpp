// GetMousePoint on a library started with ApiInitLibrary (headless, 640 x 480 screen): the
// cursor's desktop position turned into screen-mode pixels, windowed at scales 1 and 1.5 (the
// client origin taken off, divided by the scale and rounded toward zero) and in full screen
// (the screen's coordinates as they are).
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/window_test_controls.h"
#include "system/window_mouse_point.h"
#include "tests/support/library_fixture.h"

namespace {

struct MousePointCase {
    const char* name;
    bool windowed;
    double scale;
    // The cursor relative to the client area's top-left corner on the desktop.
    int32_t dx, dy;
    int32_t x, y;  // GetMousePoint's answer
};

class WindowMousePointTest : public LibraryFixture,
                             public ::testing::WithParamInterface<MousePointCase> {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        plat::SetHeadlessDesktop(1920, 1080, 32);
    }

    static plat::Point ClientOrigin() {
        plat::Point origin{0, 0};
        EXPECT_TRUE(plat::ClientToScreen(Window(), &origin));
        return origin;
    }
};

TEST_P(WindowMousePointTest, TheCursorComesInScreenModePixels) {
    const MousePointCase& c = GetParam();
    ApiChangeWindowMode(c.windowed ? 1 : 0);
    GetWindowData().settings.windowScale = c.scale;
    StartWithoutPumpThread();

    const plat::Point origin = ClientOrigin();
    if (c.windowed) {
        // A windowed window sits centred on the desktop, away from its corner.
        EXPECT_GT(origin.x, 0);
        EXPECT_GT(origin.y, 0);
    } else {
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);
    }

    plat::SetCursorPosForTests(origin.x + c.dx, origin.y + c.dy);
    int32_t x = -99, y = -99;
    EXPECT_EQ(GetMousePoint(&x, &y), 0);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    // Either output may be left out.
    int32_t only = -99;
    EXPECT_EQ(GetMousePoint(&only, nullptr), 0);
    EXPECT_EQ(only, c.x);
    EXPECT_EQ(GetMousePoint(nullptr, &only), 0);
    EXPECT_EQ(only, c.y);
    EXPECT_EQ(GetMousePoint(nullptr, nullptr), 0);

    // The same place reached by a mouse move over the window, as the desktop reports one.
    if (c.dx >= 0 && c.dy >= 0) {
        plat::SetCursorPosForTests(0, 0);
        plat::InjectMouseMove(Window(), c.dx, c.dy);
        EXPECT_EQ(GetMousePoint(&x, &y), 0);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowMousePointTest,
    ::testing::Values(
        MousePointCase{"WindowedScale1", true, 1.0, 123, 45, 123, 45},
        MousePointCase{"WindowedScale1Corner", true, 1.0, 639, 479, 639, 479},
        MousePointCase{"WindowedScale1AboveAndLeft", true, 1.0, -7, -1, -7, -1},
        MousePointCase{"WindowedScale1_5", true, 1.5, 100, 50, 66, 33},
        MousePointCase{"WindowedScale1_5Corner", true, 1.5, 959, 719, 639, 479},
        // Rounded toward zero on both sides of the origin: -1 / 1.5 is 0, -4 / 1.5 is -2.
        MousePointCase{"WindowedScale1_5AboveAndLeft", true, 1.5, -1, -4, 0, -2},
        MousePointCase{"FullScreen", false, 1.0, 123, 45, 123, 45},
        // The scale is a windowed setting: full screen ignores it.
        MousePointCase{"FullScreenWithAScaleSet", false, 1.5, 300, 200, 300, 200}),
    [](const ::testing::TestParamInfo<MousePointCase>& info) {
        return std::string(info.param.name);
    });

// A window the user moved keeps the point relative to its client area.
TEST_F(WindowMousePointTest, AMovedWindowIsFollowed) {
    ApiChangeWindowMode(1);
    GetWindowData().settings.windowScale = 1.5;
    StartWithoutPumpThread();
    plat::InjectMove(Window(), 40, 30);
    ApiProcessMessage();
    const plat::Point origin = ClientOrigin();
    plat::SetCursorPosForTests(origin.x + 30, origin.y + 15);
    int32_t x = 0, y = 0;
    EXPECT_EQ(GetMousePoint(&x, &y), 0);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 10);
    plat::SetCursorPosForTests(100, 100);
    EXPECT_EQ(GetMousePoint(&x, &y), 0);
    EXPECT_EQ(x, static_cast<int32_t>((100 - origin.x) / 1.5));
    EXPECT_EQ(y, static_cast<int32_t>((100 - origin.y) / 1.5));
}

}  // namespace
