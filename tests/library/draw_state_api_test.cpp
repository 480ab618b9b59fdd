#include <gtest/gtest.h>

#include "graphics/draw_state/draw_state.h"
#include "base/api_lock.h"
#include "library/public/api.h"
#include "system/window_data.h"
#include "tests/graphics/graphs/graph_test_support.h"

namespace {

class DrawStateApiTest : public GraphStateTest {
protected:
    // The entries create the library lock; it goes with the test.
    void TearDown() override {
        DestroyApiLock(&GetApiLockState());
        GraphStateTest::TearDown();
    }
};

TEST_F(DrawStateApiTest, EntriesReachTheDrawStateAndReturnItsResults) {
    EXPECT_EQ(ApiSetBlendMode(1, 300), 0);
    EXPECT_EQ(GetDrawState().blendParam, 255);
    EXPECT_EQ(ApiSetBrightnessRGB(300, -1, 10), 0);
    EXPECT_EQ(GetDrawState().bright, 0xFF000Au);
    EXPECT_EQ(ApiSetColorKeyRGB(0, 128, 0), 0);
    EXPECT_EQ(GetDrawState().colorKey, 0x008000u);

    int w = 0, h = 0;
    EXPECT_EQ(ApiQueryGraphSize(-2, &w, &h), 0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    const HandleValue g = AllocGraphRecord(33, 44, 0, nullptr, 0, 0);
    EXPECT_EQ(ApiQueryGraphSize(g, &w, &h), 0);
    EXPECT_EQ(h, 44);
    EXPECT_EQ(ApiQueryGraphSize(0x08000000 | 5, &w, &h), -1);

    EXPECT_EQ(ApiSetDrawTarget(g), 0);
    EXPECT_EQ(GetDrawTarget(), g);
    EXPECT_EQ(ApiSetDrawTarget(-1), -1);

    RECT r{-20, 10, 50, 30};
    const RECT bound{0, 0, 640, 480};
    EXPECT_EQ(ApiClipRectToDrawArea(&r, &bound), 0);
    EXPECT_EQ(r.left, 0);
}

}  // namespace
