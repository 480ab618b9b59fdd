// The virtual clock with more than one thread: only the main thread moves it, other threads'
// sleeps and timed waits end when the main thread's time passes their deadlines, and a main
// thread that blocks lets time jump to the next deadline instead of deadlocking.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/testing/test_controls.h"

namespace {

// What the worker threads saw, in the order they saw it: their label and their time.
struct Seen {
    int label;
    uint32_t ms;
    bool operator==(const Seen&) const = default;
};

class VirtualClockThreadsTest : public ::testing::Test {
protected:
    void SetUp() override { plat::UseVirtualClock(true); }
    void TearDown() override {
        for (plat::Thread* t : threads_) plat::JoinThread(t);
        for (plat::Event* e : events_) plat::CloseEvent(e);
        plat::ResetTestControls();
    }

    struct Sleeper {
        VirtualClockThreadsTest* test;
        int label;
        uint32_t sleepMs;
    };
    // Starts a thread that sleeps, then notes the time it sees.
    void StartSleeper(int label, uint32_t sleepMs) {
        sleepers_.push_back(new Sleeper{this, label, sleepMs});
        plat::Thread* t = plat::StartThread(
            [](void* raw) {
                auto* s = static_cast<Sleeper*>(raw);
                plat::SleepMs(s->sleepMs);
                s->test->Note(s->label);
                delete s;
            },
            sleepers_.back());
        ASSERT_NE(t, nullptr);
        threads_.push_back(t);
    }

    plat::Event* MakeEvent(bool manualReset) {
        events_.push_back(plat::CreateEvent(manualReset, false));
        return events_.back();
    }

    void Note(int label) {
        std::lock_guard<std::mutex> hold(mutex_);
        seen_.push_back(Seen{label, plat::MillisecondClock()});
    }
    std::vector<Seen> TakeSeen() {
        std::lock_guard<std::mutex> hold(mutex_);
        return std::move(seen_);
    }

    std::vector<plat::Thread*> threads_;
    std::vector<plat::Event*> events_;
    std::vector<Sleeper*> sleepers_;
    std::mutex mutex_;
    std::vector<Seen> seen_;
};

TEST_F(VirtualClockThreadsTest, AnotherThreadsSleepEndsOnlyWhenTheMainThreadsTimePassesIt) {
    StartSleeper(1, 50);
    // The sleeping thread does not move the clock, and 49 ms of the main thread do not end it.
    EXPECT_EQ(plat::VirtualClockMicroseconds(), 0u);
    plat::SleepMs(49);
    EXPECT_TRUE(TakeSeen().empty());
    EXPECT_EQ(plat::MillisecondClock(), 49u);
    // The 50th millisecond does; the main thread's sleep returns after the thread has run.
    plat::SleepMs(1);
    EXPECT_EQ(TakeSeen(), (std::vector<Seen>{{1, 50}}));
    EXPECT_EQ(plat::MillisecondClock(), 50u);
}

TEST_F(VirtualClockThreadsTest, MainSleepStepsThroughTheOtherThreadsDeadlinesInOrder) {
    StartSleeper(1, 30);
    StartSleeper(2, 10);
    StartSleeper(3, 200);
    plat::SleepMs(100);
    // Each woke at its own deadline, earliest first; the one past the sleep still sleeps.
    EXPECT_EQ(TakeSeen(), (std::vector<Seen>{{2, 10}, {1, 30}}));
    EXPECT_EQ(plat::MillisecondClock(), 100u);
}

TEST_F(VirtualClockThreadsTest, ReadsOfOtherThreadsNeitherMoveTheClockNorSeeTheMainThreadsReads) {
    plat::SetVirtualClockReadStep(1000);
    EXPECT_EQ(plat::MillisecondClock(), 1u);
    EXPECT_EQ(plat::MillisecondClock(), 2u);
    // Another thread sees the time of the main thread's last sleep or wait: none yet, so 0.
    StartSleeper(1, 0);
    plat::SleepMs(0);
    StartSleeper(2, 0);
    plat::SleepMs(0);
    EXPECT_EQ(TakeSeen(), (std::vector<Seen>{{1, 0}, {2, 2}}));
    EXPECT_EQ(plat::VirtualClockMicroseconds(), 2000u);
}

TEST_F(VirtualClockThreadsTest, MainThreadBlockedWithoutTimeoutLetsTimeJumpToTheNextDeadline) {
    // A join: the joined thread sleeps 500 ms, so the clock jumps there.
    StartSleeper(1, 500);
    plat::JoinThread(threads_.back());
    threads_.pop_back();
    EXPECT_EQ(TakeSeen(), (std::vector<Seen>{{1, 500}}));
    EXPECT_EQ(plat::VirtualClockMicroseconds(), 500000u);

    // An event wait: the event is set by a thread after its 20 ms sleep.
    struct Setter {
        plat::Event* event;
    };
    static Setter setter;
    setter.event = MakeEvent(false);
    threads_.push_back(plat::StartThread(
        [](void* raw) {
            plat::SleepMs(20);
            plat::SetEvent(static_cast<Setter*>(raw)->event);
        },
        &setter));
    EXPECT_EQ(plat::WaitEvent(setter.event, plat::kWaitForever), plat::WaitResult::Signalled);
    EXPECT_EQ(plat::VirtualClockMicroseconds(), 520000u);
}

TEST_F(VirtualClockThreadsTest, TimedWaitsEndAtTheDeadlineOrTheSignal) {
    struct Waiter {
        plat::Event* event;
        uint32_t ms;
        std::atomic<int> result{-1};  // 1 signalled, 0 timed out
        std::atomic<uint32_t> seenMs{0};
    };
    Waiter timesOut{MakeEvent(true), 40};
    Waiter signalled{MakeEvent(true), 40};
    for (Waiter* w : {&timesOut, &signalled}) {
        threads_.push_back(plat::StartThread(
            [](void* raw) {
                auto* w = static_cast<Waiter*>(raw);
                const bool got = plat::WaitEvent(w->event, w->ms) == plat::WaitResult::Signalled;
                w->seenMs = plat::MillisecondClock();
                w->result = got ? 1 : 0;
            },
            w));
    }
    // 39 ms in, both still wait; then one is signalled and the other reaches its deadline.
    plat::SleepMs(39);
    EXPECT_EQ(timesOut.result.load(), -1);
    EXPECT_EQ(signalled.result.load(), -1);
    plat::SetEvent(signalled.event);
    plat::SleepMs(0);
    EXPECT_EQ(signalled.result.load(), 1);
    EXPECT_EQ(signalled.seenMs.load(), 39u);
    EXPECT_EQ(timesOut.result.load(), -1);
    plat::SleepMs(1);
    EXPECT_EQ(timesOut.result.load(), 0);
    EXPECT_EQ(timesOut.seenMs.load(), 40u);

    // The main thread's own timed wait with nothing to wake it moves its clock to the deadline.
    plat::Event* never = MakeEvent(false);
    EXPECT_EQ(plat::WaitEvent(never, 25), plat::WaitResult::TimedOut);
    EXPECT_EQ(plat::MillisecondClock(), 65u);
}

}  // namespace
