#include "system/clock.h"

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "system/window_data.h"

namespace {

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetWindowData().clock = ClockState{};
        plat::UseVirtualClock(true);
    }
    void TearDown() override {
        GetWindowData().clock = ClockState{};
        plat::ResetTestControls();
    }
};

// Ten hours and a little: a counter in nanoseconds times 1000000 no longer fits in 64 bits,
// and the time is not a whole number of milliseconds.
constexpr uint64_t kVirtualUs = 36'000'123'456;

TEST_F(ClockTest, MicrosecondCountFollowsTheChosenClock) {
    // Under the virtual clock both counters tick in nanoseconds; the rates below tell which
    // counter and which divisor were used.
    enum class Expect { Exact, Half, Quarter, Milliseconds };
    const struct {
        const char* name;
        uint32_t usePerformanceCounter;
        uint64_t frequency;
        uint32_t useTimeStampCounter;
        uint64_t cpuClock;
        uint32_t started;
        int argument;
        Expect expect;
    } cases[] = {
        {"time-stamp counter", 1, 4'000'000'000, 1, 1'000'000'000, 1, 1, Expect::Exact},
        {"time-stamp counter rate", 1, 4'000'000'000, 1, 2'000'000'000, 1, 1, Expect::Half},
        {"argument 0 takes the performance counter", 1, 4'000'000'000, 1, 2'000'000'000, 1, 0,
         Expect::Quarter},
        {"argument 2 takes the performance counter", 1, 4'000'000'000, 1, 2'000'000'000, 1, 2,
         Expect::Quarter},
        {"not started takes the performance counter", 1, 4'000'000'000, 1, 2'000'000'000, 0, 1,
         Expect::Quarter},
        {"performance counter", 1, 1'000'000'000, 0, 0, 1, 1, Expect::Exact},
        {"no time-stamp counter, no performance counter", 0, 1'000'000'000, 0, 2'000'000'000, 1,
         1, Expect::Milliseconds},
        {"time-stamp counter off, no performance counter", 0, 0, 0, 2'000'000'000, 1, 1,
         Expect::Milliseconds},
        {"zero CPU clock", 1, 4'000'000'000, 1, 0, 1, 1, Expect::Milliseconds},
        {"zero frequency", 1, 0, 0, 0, 1, 1, Expect::Milliseconds},
    };
    for (const auto& c : cases) {
        plat::UseVirtualClock(true);
        plat::AdvanceVirtualClock(kVirtualUs);
        ClockState& clock = GetWindowData().clock;
        clock.usePerformanceCounter = c.usePerformanceCounter;
        clock.performanceFrequency = c.frequency;
        clock.useTimeStampCounter = c.useTimeStampCounter;
        clock.cpuClock = c.cpuClock;
        clock.started = c.started;

        int64_t expected = 0;
        switch (c.expect) {
            case Expect::Exact: expected = kVirtualUs; break;
            case Expect::Half: expected = kVirtualUs / 2; break;
            case Expect::Quarter: expected = kVirtualUs / 4; break;
            case Expect::Milliseconds:
                // The millisecond clock is a u32 and wraps after about 49 days.
                expected = static_cast<int64_t>(static_cast<uint32_t>(kVirtualUs / 1000)) * 1000;
                break;
        }
        EXPECT_EQ(GetMicrosecondCount(c.argument), expected) << c.name;
    }
}

TEST_F(ClockTest, MicrosecondCountAdvancesWithTheClock) {
    ClockState& clock = GetWindowData().clock;
    clock.usePerformanceCounter = 1;
    clock.performanceFrequency = plat::PerformanceFrequency();
    const int64_t before = GetMicrosecondCount(0);
    plat::AdvanceVirtualClock(1500);
    EXPECT_EQ(GetMicrosecondCount(0) - before, 1500);

    clock.usePerformanceCounter = 0;
    const int64_t coarse = GetMicrosecondCount(0);
    EXPECT_EQ(coarse % 1000, 0);
    plat::AdvanceVirtualClock(2000);
    EXPECT_EQ(GetMicrosecondCount(0) - coarse, 2000);
}

TEST_F(ClockTest, LocalDateTime) {
    plat::LocalDateTime start{};
    start.year = 2003;
    start.month = 12;
    start.day = 31;
    start.hour = 23;
    start.minute = 59;
    start.second = 58;
    plat::SetFixedLocalTime(&start);

    DateTimeRecord now{};
    ASSERT_EQ(GetLocalDateTime(&now), 0);
    EXPECT_EQ(now.year, 2003u);
    EXPECT_EQ(now.month, 12u);
    EXPECT_EQ(now.day, 31u);
    EXPECT_EQ(now.hour, 23u);
    EXPECT_EQ(now.minute, 59u);
    EXPECT_EQ(now.second, 58u);

    plat::AdvanceVirtualClock(3'500'000);
    ASSERT_EQ(GetLocalDateTime(&now), 0);
    EXPECT_EQ(now.year, 2004u);
    EXPECT_EQ(now.month, 1u);
    EXPECT_EQ(now.day, 1u);
    EXPECT_EQ(now.hour, 0u);
    EXPECT_EQ(now.minute, 0u);
    EXPECT_EQ(now.second, 1u);

    EXPECT_EQ(GetLocalDateTime(nullptr), -1);
}

}  // namespace
