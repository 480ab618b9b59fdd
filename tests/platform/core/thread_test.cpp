#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "platform/testing/test_controls.h"
#include "platform/core/thread.h"

namespace {

struct IdProbe {
    uint32_t id = 0;
};

void RecordId(void* arg) { static_cast<IdProbe*>(arg)->id = plat::CurrentThreadId(); }

TEST(ThreadTest, IdsAreDistinctStableAndNeverReserved) {
    uint32_t mine = plat::CurrentThreadId();
    EXPECT_EQ(plat::CurrentThreadId(), mine);
    std::set<uint32_t> ids{mine};
    for (int i = 0; i < 8; ++i) {
        IdProbe probe;
        plat::Thread* t = plat::StartThread(RecordId, &probe);
        ASSERT_NE(t, nullptr);
        plat::JoinThread(t);
        EXPECT_NE(probe.id, 0u);
        EXPECT_NE(probe.id, 0xFFFFFFFFu);
        EXPECT_TRUE(ids.insert(probe.id).second);
    }
}

TEST(ThreadTest, InjectedStartFailures) {
    plat::FailNextThreadStarts(1);
    IdProbe probe;
    EXPECT_EQ(plat::StartThread(RecordId, &probe), nullptr);
    plat::Thread* t = plat::StartThread(RecordId, &probe);
    ASSERT_NE(t, nullptr);
    plat::JoinThread(t);
    plat::ResetTestControls();
}

TEST(EventTest, ManualResetStaysSetUntilReset) {
    plat::Event* e = plat::CreateEvent(true, false);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(plat::WaitEvent(e, 0), plat::WaitResult::TimedOut);
    EXPECT_EQ(plat::WaitEvent(e, 5), plat::WaitResult::TimedOut);
    plat::SetEvent(e);
    EXPECT_EQ(plat::WaitEvent(e, 0), plat::WaitResult::Signalled);
    EXPECT_EQ(plat::WaitEvent(e, plat::kWaitForever), plat::WaitResult::Signalled);
    plat::ResetEvent(e);
    EXPECT_EQ(plat::WaitEvent(e, 0), plat::WaitResult::TimedOut);
    plat::CloseEvent(e);
}

TEST(EventTest, AutoResetReleasesOneWait) {
    plat::Event* e = plat::CreateEvent(false, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(plat::WaitEvent(e, 0), plat::WaitResult::Signalled);
    EXPECT_EQ(plat::WaitEvent(e, 0), plat::WaitResult::TimedOut);
    plat::CloseEvent(e);
}

TEST(EventTest, WakesAWaiterOnAnotherThread) {
    plat::Event* e = plat::CreateEvent(true, false);
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        EXPECT_EQ(plat::WaitEvent(e, plat::kWaitForever), plat::WaitResult::Signalled);
        woke = true;
    });
    plat::SetEvent(e);
    waiter.join();
    EXPECT_TRUE(woke);
    plat::CloseEvent(e);
}

TEST(EventTest, InjectedCreateFailure) {
    plat::FailNextEventCreates(2);
    EXPECT_EQ(plat::CreateEvent(true, false), nullptr);
    EXPECT_EQ(plat::CreateEvent(true, false), nullptr);
    plat::Event* e = plat::CreateEvent(true, false);
    EXPECT_NE(e, nullptr);
    plat::CloseEvent(e);
}

TEST(CriticalSectionTest, IsReentrantAndExcludesOthers) {
    plat::CriticalSection* cs = plat::CreateCriticalSection();
    ASSERT_NE(cs, nullptr);
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                plat::EnterCriticalSection(cs);
                plat::EnterCriticalSection(cs);
                ++counter;
                plat::LeaveCriticalSection(cs);
                plat::LeaveCriticalSection(cs);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(counter, 40000);
    plat::DeleteCriticalSection(cs);
}

}  // namespace
