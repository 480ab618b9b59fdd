// A screen mode other than 640 x 480 asked for before start-up: the window's client area is
// the mode's size (times the window scale), or the display takes the mode in full screen, and
// the presented back screen fills exactly that.
#include <gtest/gtest.h>

#include "platform/window/window.h"
#include "tests/library/screen_rest_fixture.h"

namespace {

class WindowFitTest : public ScreenRestFixture {};

struct FitCase {
    const char* name;
    bool software;
    bool windowed;
    int32_t width, height;
    double scale;
};

TEST_F(WindowFitTest, AModeSetBeforeStartUpSizesTheWindowAndThePicture) {
    const FitCase cases[] = {
        {"software window 800x600", true, true, 800, 600, 1.0},
        {"surfaces window 800x600", false, true, 800, 600, 1.0},
        {"software window 320x240 scaled 2", true, true, 320, 240, 2.0},
        {"surfaces window 1024x768", false, true, 1024, 768, 1.0},
        {"software full screen 800x600", true, false, 800, 600, 1.0},
        {"surfaces full screen 800x600", false, false, 800, 600, 1.0},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        GetWindowData().settings.windowScale = c.scale;
        Start(c.software, c.windowed, c.width, c.height);
        int32_t width = 0, height = 0;
        GetScreenDimensions(&width, &height);
        ASSERT_EQ(width, c.width);
        ASSERT_EQ(height, c.height);
        const int32_t shownWidth = c.windowed ? static_cast<int32_t>(c.width * c.scale) : c.width;
        const int32_t shownHeight =
            c.windowed ? static_cast<int32_t>(c.height * c.scale) : c.height;

        plat::Rect client{};
        ASSERT_TRUE(plat::GetClientRect(Window(), &client));
        EXPECT_EQ(client.right - client.left, shownWidth);
        EXPECT_EQ(client.bottom - client.top, shownHeight);
        if (c.windowed) {
            const plat::Rect& recorded = GetWindowData().window.clientRect;
            EXPECT_EQ(recorded.right - recorded.left, shownWidth);
            EXPECT_EQ(recorded.bottom - recorded.top, shownHeight);
        } else {
            EXPECT_TRUE(plat::DisplayInFullScreenMode());
            EXPECT_EQ(plat::CurrentDisplayMode().width, c.width);
            EXPECT_EQ(plat::CurrentDisplayMode().height, c.height);
        }

        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(0, 128, 255);
        ASSERT_EQ(ApiPresentScreen(), 0);
        int32_t pictureWidth = 0, pictureHeight = 0;
        EXPECT_EQ(PixelsNotShowing(0x0080FF, &pictureWidth, &pictureHeight), 0);
        EXPECT_EQ(pictureWidth, shownWidth);
        EXPECT_EQ(pictureHeight, shownHeight);
        ApiTermLibrary();
        TearDown();
    }
}

}  // namespace
