// The vertical-blank waits: counted waits end in a blank, stop at the pump's quit, never run
// longer than their bound, and the paced wait sleeps only while the frame time has not passed.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "platform/core/clock.h"
#include "platform/ddraw/ddraw.h"
#include "platform/display/display.h"
#include "platform/testing/display_test_controls.h"
#include "platform/testing/test_controls.h"

namespace {

int gPumpResult = 0;
int gPumpCalls = 0;
int Pump() {
    ++gPumpCalls;
    return gPumpResult;
}

class VBlankWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetTestControls();
        plat::ResetDisplayTestControls();
        plat::SetDisplayRefreshRateForTests(60);
        plat::UseVirtualClock(true);
        plat::SetVirtualClockReadStep(10);
        std::memset(&GetScreenState(), 0, sizeof(ScreenState));
        ASSERT_EQ(plat::CreateDirectDraw(&dd_), plat::DD_OK);
        GetScreenState().directDraw = dd_;
        host_ = kAbsentScreenHost;
        host_.processMessage = Pump;
        ScreenHostSlot().Install(host_);
        gPumpResult = 0;
        gPumpCalls = 0;
    }
    void TearDown() override {
        ScreenHostSlot().Reset();
        std::memset(&GetScreenState(), 0, sizeof(ScreenState));
        if (dd_ != nullptr) dd_->Release();
        plat::ResetDisplayTestControls();
        plat::ResetTestControls();
    }

    plat::DirectDraw* dd_ = nullptr;
    ScreenHostDriver host_{};
};

TEST_F(VBlankWaitTest, ACountedWaitEndsAtTheStartOfABlankOncePerCount) {
    for (int count = 1; count <= 3; ++count) {
        SCOPED_TRACE(count);
        const uint64_t frameBefore = plat::ReadRaster().frame;
        EXPECT_EQ(WaitVBlankCount(count), 0);
        const plat::RasterPosition after = plat::ReadRaster();
        EXPECT_TRUE(after.inVerticalBlank);
        // Each count passes one blank: never more frames than counts (plus the one begun).
        EXPECT_LE(after.frame - frameBefore, static_cast<uint64_t>(count) + 1);
        EXPECT_GE(after.frame - frameBefore, static_cast<uint64_t>(count) - 1);
        EXPECT_GT(gPumpCalls, 0);
    }
}

TEST_F(VBlankWaitTest, ThePumpsQuitEndsTheWait) {
    gPumpResult = -1;
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(WaitVBlankCount(2), -1);
    EXPECT_LT(plat::VirtualClockMicroseconds() - start, 1000u);
    // Count 0 returns at once when the pump reports anything.
    gPumpResult = 1;
    EXPECT_EQ(WaitVBlankCount(0), 0);
    EXPECT_EQ(WaitVBlankCount(-3), 0);
}

TEST_F(VBlankWaitTest, WithoutDirectDrawThereIsNothingToWaitFor) {
    GetScreenState().directDraw = nullptr;
    EXPECT_EQ(WaitVBlankCount(1), -1);
    WaitVBlankPaced();  // returns without a display
    EXPECT_EQ(gPumpCalls, 0);
}

TEST_F(VBlankWaitTest, APollOfARasterThatNeverMovesStillEnds) {
    // A stopped clock: neither the raster nor the time bound moves, so only the bound on the
    // number of looks ends the wait.
    plat::SetVirtualClockReadStep(0);
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(WaitVBlankCount(1), 0);
    EXPECT_EQ(plat::VirtualClockMicroseconds(), start);
    EXPECT_GT(gPumpCalls, 1000);
}

TEST_F(VBlankWaitTest, APollEndsWithinOneHundredMillisecondsOfItsClock) {
    // A counted wait looks at most twice per count for up to 100 ms each.
    plat::SetVirtualClockReadStep(1000);
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(WaitVBlankCount(1), 0);
    EXPECT_LE(plat::VirtualClockMicroseconds() - start, 2 * 100000u + 10000u);
}

TEST_F(VBlankWaitTest, ThePacedWaitSleepsOnlyUntilTheFrameTimeHasPassed) {
    ScreenState& s = GetScreenState();
    // Not measured: straight to the next blank, never in 1 ms steps.
    s.frameTime = -1;
    WaitVBlankPaced();
    EXPECT_TRUE(plat::ReadRaster().inVerticalBlank);
    const uint32_t first = s.lastVBlankTime;

    // Measured: a second wait right after the first sleeps until frameTime has passed, then
    // waits for the next blank.
    s.frameTime = 9;
    WaitVBlankPaced();
    EXPECT_GE(s.lastVBlankTime - first, 9u);
    EXPECT_TRUE(plat::ReadRaster().inVerticalBlank);
}

}  // namespace
