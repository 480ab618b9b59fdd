// The saved window picture on a started library: a window that goes inactive keeps the picture
// it showed, and a repaint while it stays inactive shows that picture again, whatever the back
// screen holds by then; the back screen and the draw state come back as they were.
#include <gtest/gtest.h>

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"
#include "system/inactive_window_redraw.h"
#include "tests/library/screen_rest_fixture.h"

namespace {

class SavedScreenTest : public ScreenRestFixture {
protected:
    static void Deactivate() { plat::SendMessage(Window(), plat::WM_ACTIVATE, 0, 0); }
    static void Activate() { plat::SendMessage(Window(), plat::WM_ACTIVATE, 1, 0); }
    static void Repaint() {
        plat::InvalidateWindow(Window());
        plat::UpdateWindow(Window());
    }
};

TEST_F(SavedScreenTest, AnInactiveWindowIsRepaintedWithThePictureItShowed) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        Start(software, true);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(255, 0, 0);
        ASSERT_EQ(ApiPresentScreen(), 0);
        // A draw state of the game's own, to come back unchanged.
        ASSERT_EQ(ApiSetBlendMode(1, 128), 0);
        ASSERT_EQ(SetDrawAreaRect(10, 20, 300, 200), 0);
        ASSERT_EQ(SetBrightRGB(200, 100, 50), 0);
        ASSERT_EQ(SetVSyncWait(1), 0);
        const int32_t filter = GetSampleFilter();

        Deactivate();
        ASSERT_EQ(GetWindowData().window.active, 0u);
        const HandleValue saved = GetSavedScreenGraph();
        ASSERT_NE(saved, -1);
        ASSERT_NE(GetGraphRecord(saved), nullptr);
        EXPECT_EQ(GetGraphRecord(saved)->width, 640);

        // The game had begun its next frame when it was stopped; something covered the
        // window and uncovers it.
        FillBack(0, 0, 255);
        Repaint();
        EXPECT_EQ(PixelsNotShowing(0xFF0000), 0);
        EXPECT_EQ(BackPixel(0, 0), 0x0000FFu);
        EXPECT_EQ(BackPixel(639, 479), 0x0000FFu);

        const DrawState& draw = GetDrawState();
        EXPECT_EQ(GetDrawTarget(), kDrawTargetBack);
        EXPECT_EQ(draw.blendMode, 1);
        EXPECT_EQ(draw.blendParam, 128);
        EXPECT_EQ(draw.bright, 0xC86432u);
        EXPECT_EQ(draw.drawArea.left, 10);
        EXPECT_EQ(draw.drawArea.bottom, 200);
        EXPECT_EQ(GetSampleFilter(), filter);
        EXPECT_EQ(GetVSyncWait(), 1);
        EXPECT_EQ(GetWindowData().window.windowRedraw, 0u);

        // Active again: the picture is the game's business once more.
        Activate();
        EXPECT_EQ(GetSavedScreenGraph(), -1);
        EXPECT_EQ(GetGraphRecord(saved), nullptr);
        Repaint();
        EXPECT_EQ(PixelsNotShowing(0x0000FF), 0);
        ApiTermLibrary();
        TearDown();
    }
}

TEST_F(SavedScreenTest, NothingIsSavedInFullScreenAndARedrawWithoutASavedPictureFails) {
    Start(true, false);
    EXPECT_EQ(RedrawSavedScreen(), -1);
    Deactivate();
    EXPECT_EQ(GetSavedScreenGraph(), -1);
    EXPECT_EQ(RedrawSavedScreen(), -1);
}

TEST_F(SavedScreenTest, ASavedPictureDeletedWithTheGraphsIsForgottenAndTheEndRedrawsNothing) {
    Start(true, true);
    Deactivate();
    const HandleValue saved = GetSavedScreenGraph();
    ASSERT_NE(saved, -1);
    // Graph management deleted it (a mode change does): nothing is left to redraw.
    ASSERT_EQ(DeleteGraphHandle(saved, 0), 0);
    EXPECT_EQ(GetSavedScreenGraph(), -1);
    EXPECT_EQ(RedrawSavedScreen(), -1);
    // While the library ends a redraw does nothing and succeeds.
    ASSERT_EQ(SaveScreenForRedraw(), 0);
    GetWindowData().library.ending = 1;
    EXPECT_EQ(RedrawSavedScreen(), 0);
    GetWindowData().library.ending = 0;
    Activate();
}

}  // namespace
