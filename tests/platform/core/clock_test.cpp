#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"

namespace {

class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override { plat::UseVirtualClock(true); }
    void TearDown() override { plat::ResetTestControls(); }
};

TEST_F(VirtualClockTest, StandsStillUntilAdvancedReadOrSleptOn) {
    EXPECT_EQ(plat::MillisecondClock(), 0u);
    EXPECT_EQ(plat::MillisecondClock(), 0u);
    plat::AdvanceVirtualClock(2500);
    EXPECT_EQ(plat::MillisecondClock(), 2u);
    plat::SleepMs(10);
    EXPECT_EQ(plat::MillisecondClock(), 12u);
    EXPECT_EQ(plat::VirtualClockMicroseconds(), 12500u);
}

TEST_F(VirtualClockTest, EachReadAdvancesByTheReadStep) {
    plat::SetVirtualClockReadStep(1000);
    EXPECT_EQ(plat::MillisecondClock(), 1u);
    EXPECT_EQ(plat::MillisecondClock(), 2u);
    // The performance counter is in nanoseconds at 1 GHz.
    EXPECT_EQ(plat::PerformanceFrequency(), 1000000000u);
    EXPECT_EQ(plat::PerformanceCounter(), 3000000u);
}

TEST_F(VirtualClockTest, FixedLocalTimeAdvancesWithTheClock) {
    plat::LocalDateTime start{2008, 3, 7, 9, 5, 12, 0, 0};
    plat::SetFixedLocalTime(&start);
    plat::AdvanceVirtualClock(49'000'250);  // 49.00025 s: crosses a minute
    plat::LocalDateTime now = plat::GetLocalDateTime();
    EXPECT_EQ(now.year, 2008u);
    EXPECT_EQ(now.month, 3u);
    EXPECT_EQ(now.day, 7u);
    EXPECT_EQ(now.hour, 9u);
    EXPECT_EQ(now.minute, 6u);
    EXPECT_EQ(now.second, 1u);
    EXPECT_EQ(now.millisecond, 0u);
    EXPECT_EQ(now.dayOfWeek, 5u);  // a Friday
}

TEST(RealClockTest, IsMonotonicAndSleepsAtLeastTheTime) {
    uint32_t before = plat::MillisecondClock();
    uint64_t counterBefore = plat::PerformanceCounter();
    plat::SleepMs(5);
    EXPECT_GE(plat::MillisecondClock() - before, 5u);
    EXPECT_GT(plat::PerformanceCounter(), counterBefore);
    plat::LocalDateTime now = plat::GetLocalDateTime();
    EXPECT_GE(now.year, 2024u);
    EXPECT_LE(now.millisecond, 999u);
}

}  // namespace
