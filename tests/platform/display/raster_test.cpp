// The simulated raster on the virtual clock: the scan line runs through the frame, the last
// twelfth-odd of it is the vertical blank, and the waits end at the blank's start or end, never
// later than one frame.
#include <gtest/gtest.h>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

class RasterTest : public DisplayFixture {
protected:
    // The desktop (1080 lines) at 60 Hz: 1080 lines drawn, 90 lines of blank.
    static constexpr uint64_t kFrameUs = 16667;
    static constexpr uint64_t kBlankStartUs = 15385;  // 1080 / 1170 of a frame

    // Moves the virtual clock to us microseconds after its start.
    static void MoveTo(uint64_t us) {
        const uint64_t now = plat::VirtualClockMicroseconds();
        ASSERT_GE(us, now);
        plat::AdvanceVirtualClock(us - now);
    }
    uint32_t Line() {
        uint32_t line = 0;
        const plat::DDResult r = dd_->GetScanLine(&line);
        EXPECT_TRUE(r == DD_OK || r == plat::DDERR_VERTICALBLANKINPROGRESS);
        return line;
    }
    bool InBlank() {
        int32_t status = -1;
        EXPECT_EQ(dd_->GetVerticalBlankStatus(&status), DD_OK);
        return status == 1;
    }
};

TEST_F(RasterTest, TheScanLineRunsThroughTheFrameAndTheBlankEndsIt) {
    struct Case {
        uint64_t at;  // microseconds on the clock
        uint32_t lowest, highest;
        bool blank;
    } cases[] = {
        {0, 0, 0, false},
        {1, 0, 0, false},
        {kFrameUs / 2, 583, 586, false},
        {kBlankStartUs - 20, 1077, 1079, false},
        {kBlankStartUs + 1, 1080, 1080, true},
        {kFrameUs - 5, 1169, 1169, true},
        {kFrameUs + 1, 0, 0, false},  // the next frame
        {kFrameUs * 10 + kFrameUs / 2, 583, 586, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        MoveTo(c.at);
        const uint32_t line = Line();
        EXPECT_GE(line, c.lowest);
        EXPECT_LE(line, c.highest);
        EXPECT_EQ(InBlank(), c.blank);
        uint32_t again = 0;
        EXPECT_EQ(dd_->GetScanLine(&again), c.blank ? plat::DDERR_VERTICALBLANKINPROGRESS : DD_OK);
    }
}

TEST_F(RasterTest, WaitsEndAtTheBlankAndNeverTakeMoreThanAFrame) {
    // From several places in the frame: the wait for the blank's start lands inside the blank
    // and the wait for its end just after it.
    const uint64_t starts[] = {0, 100, kFrameUs / 3, kBlankStartUs - 1, kBlankStartUs + 300,
                               kFrameUs - 1};
    uint64_t base = 0;
    for (uint64_t phase : starts) {
        SCOPED_TRACE(phase);
        base += 4 * kFrameUs;
        // Frames are 16666.67 us long: take the phase from a frame start of the clock.
        const uint64_t frameStart = (base * 1000 / 16666667 + 1) * 16666667 / 1000 + 1;
        MoveTo(frameStart + phase);
        const uint64_t before = plat::VirtualClockMicroseconds();
        ASSERT_EQ(dd_->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
        EXPECT_TRUE(InBlank());
        EXPECT_LE(plat::VirtualClockMicroseconds() - before, kFrameUs + 1000);
        const uint64_t beforeEnd = plat::VirtualClockMicroseconds();
        ASSERT_EQ(dd_->WaitForVerticalBlank(plat::DDWAITVB_BLOCKEND, nullptr), DD_OK);
        EXPECT_FALSE(InBlank());
        EXPECT_LT(Line(), 100u);
        EXPECT_LE(plat::VirtualClockMicroseconds() - beforeEnd, kFrameUs + 1000);
        base = plat::VirtualClockMicroseconds();
    }
    int dummy = 0;
    EXPECT_EQ(dd_->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN, &dummy), plat::DDERR_UNSUPPORTED);
    EXPECT_EQ(dd_->WaitForVerticalBlank(0x100, nullptr), plat::DDERR_INVALIDPARAMS);
}

TEST_F(RasterTest, TheRasterFollowsTheRefreshRateAndTheMode) {
    plat::SetDisplayRefreshRateForTests(100);
    uint32_t hz = 0;
    ASSERT_EQ(dd_->GetMonitorFrequency(&hz), DD_OK);
    EXPECT_EQ(hz, 100u);
    plat::DeviceContext* dc = plat::GetDC(window_);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::VREFRESH), 100);
    plat::ReleaseDC(window_, dc);
    MoveTo(10000 + 5000);  // half of a 100 Hz frame
    EXPECT_NEAR(Line(), 585, 1);

    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    MoveTo(30000 + 5000);
    EXPECT_NEAR(Line(), 260, 1);  // (480 + 40) / 2
    MoveTo(40000 + 9500);
    EXPECT_TRUE(InBlank());
}

}  // namespace
