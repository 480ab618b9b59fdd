// Selecting a graph as the draw target on a started library: a graph with pixels of its own
// is taken; one without (no 2D surface yet) is refused with a log line, and the target stays
// what it was.
#include <gtest/gtest.h>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/library/screen_rest_fixture.h"

namespace {

class DrawTargetSelectTest : public ScreenRestFixture {};

TEST_F(DrawTargetSelectTest, AGraphWithoutPixelsIsRefusedAndTheTargetStays) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        Start(software, true);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);

        // A graph with pixels is a target of its size.
        const HandleValue drawable = CreateBlankGraph(40, 30, 1);
        ASSERT_NE(drawable, -1);
        EXPECT_EQ(ApiSetDrawTarget(drawable), 0);
        EXPECT_EQ(GetDrawTarget(), drawable);
        EXPECT_EQ(GetDrawState().targetWidth, 40);

        // A graph record with no 2D surface has nothing to draw into.
        const HandleValue empty = AllocGraphRecord(33, 44, 0, nullptr, 0, 0);
        ASSERT_NE(empty, -1);
        EXPECT_EQ(ApiSetDrawTarget(empty), -1);
        EXPECT_EQ(GetDrawTarget(), drawable);
        EXPECT_EQ(GetDrawState().targetWidth, 40);
        EXPECT_TRUE(LogHas("グラフィックに画像が無いため描画先にできません"));
        // The drawable graph is still bound: a clear reaches it.
        EXPECT_EQ(ClearDrawTargetSurface(), 0);
        ApiTermLibrary();
        TearDown();
    }
}

}  // namespace
