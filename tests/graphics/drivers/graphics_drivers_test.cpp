// The drivers graphics calls: the absent screen answers as a library without a screen module,
// and graph management's start-up plugs its own modules in and its shut-down takes them out.
#include <gtest/gtest.h>

#include "graphics/drivers/direct_draw_object.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"

namespace {

int32_t ZeroDepth() { return 0; }
void ZeroDimensions(int32_t* width, int32_t* height) { *width = *height = 0; }

TEST(GraphicsDriversTest, WithoutAScreenModuleTheLibraryRunsSoftwareOnly) {
    ResetGraphicsDrivers();
    int32_t width = 0, height = 0;
    GetScreenSize(&width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(GetDisplayDepth(), 16);
    const ScreenDriver& screen = *ScreenSlot();
    EXPECT_EQ(screen.hasDirectDrawObject(), 0);
    EXPECT_EQ(screen.isNoDirectDraw(), 1);
    EXPECT_EQ(screen.isScreenSoftwareDrawn(), 1);
    EXPECT_EQ(screen.screenImage(kDrawTargetBack), nullptr);

    // A DirectDraw object handed to graphics makes the screen one of DirectDraw surfaces.
    SetDirectDrawObject(reinterpret_cast<plat::DirectDraw*>(&width));
    EXPECT_EQ(screen.hasDirectDrawObject(), 1);
    EXPECT_EQ(screen.isNoDirectDraw(), 0);
    EXPECT_EQ(screen.isScreenSoftwareDrawn(), 0);
    SetDirectDrawObject(nullptr);

    // A screen module that reports zeros gets the defaults.
    ScreenDriver zero = kAbsentScreen;
    zero.getScreenDepth = ZeroDepth;
    zero.getScreenDimensions = ZeroDimensions;
    ScreenSlot().Install(zero);
    GetScreenSize(&width, nullptr);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(GetDisplayDepth(), 16);
    ScreenSlot().Reset();
}

TEST(GraphicsDriversTest, GraphManagementPlugsItsOwnModulesInWhileItRuns) {
    ResetGraphicsDrivers();
    GraphicsState& state = GetGraphicsState();
    state.graphicsUp = 0;
    ASSERT_EQ(InitGraphSystem(), 0);
    EXPECT_EQ(&*Surface2DSlot(), &kSurfaceRecords);
    EXPECT_EQ(&*GraphLoaderSlot(), &kGraphFileLoader);
    // The modules of other owners stay as they were.
    EXPECT_TRUE(ScreenSlot().IsAbsent());
    EXPECT_TRUE(TextureSlot().IsAbsent());
    ASSERT_EQ(TermGraphSystem(), 0);
    EXPECT_TRUE(Surface2DSlot().IsAbsent());
    EXPECT_TRUE(GraphLoaderSlot().IsAbsent());
    ClearGraphicsState();
}

}  // namespace
