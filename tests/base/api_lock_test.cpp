// The library lock with real threads: order of service, nesting, a full queue, the pump
// thread's sliced wait, removal of queue entries, stale signals and destruction.
#include "base/api_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "platform/core/thread.h"

namespace {

constexpr uint32_t kNoOwner = 0xFFFFFFFFu;

// The lock's fields, read under its guard.
struct LockView {
    int32_t recursion;
    uint32_t locked;
    uint32_t owner;
    int32_t waiterCount;
    uint32_t rewaits;
    std::vector<uint32_t> waiters;  // thread ids of the entries in use, head first
};

LockView Look(ApiLockState& lock) {
    plat::EnterCriticalSection(lock.guard);
    LockView v{lock.recursion, lock.locked, lock.owner, lock.waiterCount, lock.rewaits, {}};
    for (int32_t i = 0; i < lock.waiterCount; ++i) v.waiters.push_back(lock.queue[i].threadId);
    plat::LeaveCriticalSection(lock.guard);
    return v;
}

bool IsSignalled(plat::Event* event) {
    return plat::WaitEvent(event, 0) == plat::WaitResult::Signalled;
}

// Sets a pump quit flag as the library's quit request does, seen by a waiting thread.
void SetQuit(volatile uint32_t& quit, uint32_t value) {
    __atomic_store_n(&quit, value, __ATOMIC_RELEASE);
}

// Polls a condition until it holds; the bound only guards against a hang. Under the virtual
// clock only this (the main) thread moves time, so each look lets a millisecond pass.
bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (plat::VirtualClockInUse()) {
            plat::SleepMs(1);
        } else {
            std::this_thread::yield();
        }
    }
    return true;
}

// A thread that takes the lock once (as an entry would, or as the pump thread does), notes its
// label in the order list while it owns the lock, and releases it.
class LockUser {
public:
    LockUser(ApiLockState& lock, std::vector<int>& order, int label,
             const volatile uint32_t* pumpQuit = nullptr)
        : thread_([this, &lock, &order, label, pumpQuit] {
              id_ = plat::CurrentThreadId();
              if (pumpQuit == nullptr) {
                  AcquireApiLock(&lock);
                  took_ = true;
              } else {
                  took_ = AcquireApiLockForPump(&lock, pumpQuit);
              }
              if (took_) {
                  order.push_back(label);  // the lock serialises the users
                  if (pumpQuit == nullptr) {
                      ReleaseApiLock(&lock);
                  } else {
                      ReleaseApiLockForPump(&lock);
                  }
              }
              done_ = true;
          }) {}

    ~LockUser() {
        if (!WaitUntil([this] { return done_.load(); })) {
            // A waiter that never wakes is a lost wake-up; joining would hang the run.
            std::fprintf(stderr, "a lock user never got the lock\n");
            std::abort();
        }
        thread_.join();
    }

    // The user's thread id, once its thread has started.
    uint32_t id() const {
        WaitUntil([this] { return id_.load() != 0; });
        return id_;
    }
    bool done() const { return done_; }
    bool WaitDone() const { return WaitUntil([this] { return done_.load(); }); }
    bool took() const { return took_; }

private:
    std::atomic<uint32_t> id_{0};
    std::atomic<bool> took_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class ApiLockTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (lock_) DestroyApiLock(lock_.get());
        plat::ResetTestControls();
    }

    // A lock with a small queue and a short pump slice, created by a first acquisition on
    // this thread before any other thread uses it.
    ApiLockState& MakeLock(int32_t capacity = 4, uint32_t sliceMs = 2) {
        lock_ = std::make_unique<ApiLockState>(capacity, sliceMs);
        AcquireApiLock(lock_.get());
        ReleaseApiLock(lock_.get());
        return *lock_;
    }

    // Starts a user and waits until it stands queued as the n-th waiter.
    std::unique_ptr<LockUser> Queue(ApiLockState& lock, int label, int32_t expectedCount,
                                    const volatile uint32_t* pumpQuit = nullptr) {
        auto user = std::make_unique<LockUser>(lock, order_, label, pumpQuit);
        const uint32_t id = user->id();
        EXPECT_TRUE(WaitUntil([&] {
            LockView v = Look(lock);
            return v.waiterCount == expectedCount && v.waiters.back() == id;
        }));
        return user;
    }

    std::unique_ptr<ApiLockState> lock_;
    std::vector<int> order_;
    const uint32_t self_ = plat::CurrentThreadId();
};

TEST_F(ApiLockTest, OwnerNestsAndOnlyTheLastReleaseFreesAndWakes) {
    for (int depth : {1, 2, 3}) {
        SCOPED_TRACE(depth);
        ApiLockState& lock = MakeLock();
        order_.clear();
        for (int i = 0; i < depth; ++i) AcquireApiLock(&lock);
        LockView v = Look(lock);
        EXPECT_EQ(v.recursion, depth);
        EXPECT_EQ(v.locked, 1u);
        EXPECT_EQ(v.owner, self_);

        auto waiter = Queue(lock, 1, 1);
        for (int i = depth; i > 1; --i) {
            ReleaseApiLock(&lock);
            v = Look(lock);
            EXPECT_EQ(v.recursion, i - 1);
            EXPECT_EQ(v.locked, 1u);
            EXPECT_EQ(v.owner, self_);
            EXPECT_EQ(v.waiterCount, 1);
            EXPECT_FALSE(IsSignalled(lock.queue[0].event));
        }
        ReleaseApiLock(&lock);
        ASSERT_TRUE(waiter->WaitDone());
        EXPECT_EQ(order_, std::vector<int>{1});
        v = Look(lock);
        EXPECT_EQ(v.recursion, 0);
        EXPECT_EQ(v.locked, 0u);
        EXPECT_EQ(v.owner, kNoOwner);
        EXPECT_EQ(v.waiterCount, 0);
        waiter.reset();
        DestroyApiLock(&lock);
    }
}

TEST_F(ApiLockTest, ReleaseWithoutWaitersSignalsNothing) {
    ApiLockState& lock = MakeLock();
    AcquireApiLock(&lock);
    ReleaseApiLock(&lock);
    LockView v = Look(lock);
    EXPECT_EQ(v.recursion, 0);
    EXPECT_EQ(v.locked, 0u);
    EXPECT_EQ(v.owner, kNoOwner);
    for (const ApiLockWaiter& slot : lock.queue) {
        ASSERT_NE(slot.event, nullptr);
        EXPECT_FALSE(IsSignalled(slot.event));
    }
}

TEST_F(ApiLockTest, ReleaseByAThreadThatDoesNotOwnTheLockChangesNothing) {
    ApiLockState& lock = MakeLock();
    ReleaseApiLock(&lock);  // free lock
    EXPECT_EQ(Look(lock).recursion, 0);

    AcquireApiLock(&lock);
    std::thread([&] { ReleaseApiLock(&lock); }).join();
    LockView v = Look(lock);
    EXPECT_EQ(v.recursion, 1);
    EXPECT_EQ(v.locked, 1u);
    EXPECT_EQ(v.owner, self_);
    ReleaseApiLock(&lock);
    EXPECT_EQ(Look(lock).locked, 0u);
}

// Two waiters are served in the order they queued, also when one of them is woken by a
// signal meant for nobody (the head, or the second one trying before the head). A woken
// waiter that cannot take the lock waits again on its own entry and is not queued twice.
TEST_F(ApiLockTest, WaitersAreServedInQueueOrderEvenAfterAStraySignal) {
    for (int strayTo : {-1, 0, 1}) {
        SCOPED_TRACE(strayTo);
        ApiLockState& lock = MakeLock();
        order_.clear();
        AcquireApiLock(&lock);
        auto first = Queue(lock, 1, 1);
        auto second = Queue(lock, 2, 2);
        if (strayTo >= 0) {
            plat::SetEvent(lock.queue[strayTo].event);
            ASSERT_TRUE(WaitUntil([&] { return Look(lock).rewaits == 1; }));
        }
        LockView v = Look(lock);
        EXPECT_EQ(v.waiters, (std::vector<uint32_t>{first->id(), second->id()}));
        EXPECT_EQ(order_, std::vector<int>{});

        ReleaseApiLock(&lock);
        ASSERT_TRUE(first->WaitDone());
        ASSERT_TRUE(second->WaitDone());
        EXPECT_EQ(order_, (std::vector<int>{1, 2}));
        EXPECT_EQ(Look(lock).waiterCount, 0);
        first.reset();
        second.reset();
        DestroyApiLock(&lock);
    }
}

TEST_F(ApiLockTest, ThreadFindingTheQueueFullPollsUntilASlotFrees) {
    ApiLockState& lock = MakeLock(2);
    plat::UseVirtualClock(true);  // the third thread's 1 ms polls come due as this thread waits
    AcquireApiLock(&lock);
    auto first = Queue(lock, 1, 1);
    auto second = Queue(lock, 2, 2);
    LockUser third(lock, order_, 3);
    ASSERT_TRUE(WaitUntil([] { return plat::VirtualClockMicroseconds() >= 3000; }));
    LockView v = Look(lock);
    EXPECT_EQ(v.waiterCount, 2);
    EXPECT_EQ(v.waiters, (std::vector<uint32_t>{first->id(), second->id()}));

    ReleaseApiLock(&lock);
    ASSERT_TRUE(third.WaitDone());
    EXPECT_EQ(order_, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Look(lock).waiterCount, 0);
}

TEST_F(ApiLockTest, PumpWaiterTakesTheLockOnceItIsReleased) {
    ApiLockState& lock = MakeLock();
    volatile uint32_t quit = 0;
    {
        LockUser pump(lock, order_, 1, &quit);  // free lock: taken at once
        ASSERT_TRUE(pump.WaitDone());
        EXPECT_TRUE(pump.took());
    }
    AcquireApiLock(&lock);
    auto pump = Queue(lock, 2, 1, &quit);
    ReleaseApiLock(&lock);
    ASSERT_TRUE(pump->WaitDone());
    EXPECT_TRUE(pump->took());
    EXPECT_EQ(order_, (std::vector<int>{1, 2}));
    LockView v = Look(lock);
    EXPECT_EQ(v.locked, 0u);
    EXPECT_EQ(v.waiterCount, 0);
}

TEST_F(ApiLockTest, PumpWaiterGivesUpWhenQuitIsSetAndKeepsItsEntry) {
    ApiLockState& lock = MakeLock();
    volatile uint32_t quit = 0;
    AcquireApiLock(&lock);
    auto pump = Queue(lock, 1, 1, &quit);
    SetQuit(quit, 1);
    ASSERT_TRUE(pump->WaitDone());  // gives up at the end of the current 2 ms slice
    EXPECT_FALSE(pump->took());
    LockView v = Look(lock);
    EXPECT_EQ(v.owner, self_);
    EXPECT_EQ(v.waiters, std::vector<uint32_t>{pump->id()});

    RemoveApiLockWaiter(&lock, pump->id());
    EXPECT_EQ(Look(lock).waiterCount, 0);
    ReleaseApiLock(&lock);
}

TEST_F(ApiLockTest, PumpWaiterGivesUpWhilePollingAFullQueue) {
    ApiLockState& lock = MakeLock(1);
    volatile uint32_t quit = 0;
    AcquireApiLock(&lock);
    auto waiter = Queue(lock, 1, 1);
    SetQuit(quit, 1);
    {
        LockUser pump(lock, order_, 2, &quit);
        ASSERT_TRUE(pump.WaitDone());
        EXPECT_FALSE(pump.took());
    }
    EXPECT_EQ(Look(lock).waiters, std::vector<uint32_t>{waiter->id()});
    ReleaseApiLock(&lock);
    ASSERT_TRUE(waiter->WaitDone());
    EXPECT_EQ(order_, std::vector<int>{1});
}

TEST_F(ApiLockTest, RemovingAnEntryFromTheMiddleKeepsTheOthersInOrder) {
    ApiLockState& lock = MakeLock(4);
    volatile uint32_t quit = 0;
    AcquireApiLock(&lock);
    auto first = Queue(lock, 1, 1);
    auto pump = Queue(lock, 2, 2, &quit);
    auto last = Queue(lock, 3, 3);
    SetQuit(quit, 1);
    ASSERT_TRUE(pump->WaitDone());
    std::vector<plat::Event*> events;
    for (const ApiLockWaiter& slot : lock.queue) events.push_back(slot.event);

    RemoveApiLockWaiter(&lock, 12345);  // not queued: nothing happens
    EXPECT_EQ(Look(lock).waiterCount, 3);
    RemoveApiLockWaiter(&lock, pump->id());
    LockView v = Look(lock);
    EXPECT_EQ(v.waiters, (std::vector<uint32_t>{first->id(), last->id()}));
    // Entries behind move up with their events; the removed entry's event goes to the slot
    // freed at the tail of the entries in use.
    EXPECT_EQ(lock.queue[0].event, events[0]);
    EXPECT_EQ(lock.queue[1].event, events[2]);
    EXPECT_EQ(lock.queue[2].threadId, 0u);
    EXPECT_EQ(lock.queue[2].event, events[1]);
    EXPECT_EQ(lock.queue[3].threadId, 0u);
    EXPECT_EQ(lock.queue[3].event, events[3]);
    for (plat::Event* e : events) EXPECT_FALSE(IsSignalled(e));

    ReleaseApiLock(&lock);
    ASSERT_TRUE(first->WaitDone());
    ASSERT_TRUE(last->WaitDone());
    EXPECT_EQ(order_, (std::vector<int>{1, 3}));
}

// The pump's abandoned entry at the head is removed while the lock is free (the release's
// signal went to the abandoned entry, so the removal must wake the new head) or while it is
// held (the release wakes the new head; the removal sends no stray signal).
TEST_F(ApiLockTest, RemovingTheHeadLeavesTheNewHeadToBeWoken) {
    for (bool freeAtRemoval : {true, false}) {
        SCOPED_TRACE(freeAtRemoval);
        ApiLockState& lock = MakeLock();
        order_.clear();
        volatile uint32_t quit = 0;
        AcquireApiLock(&lock);
        auto pump = Queue(lock, 1, 1, &quit);
        auto next = Queue(lock, 2, 2);
        SetQuit(quit, 1);
        ASSERT_TRUE(pump->WaitDone());
        if (freeAtRemoval) {
            ReleaseApiLock(&lock);
            EXPECT_TRUE(IsSignalled(lock.queue[0].event));  // the abandoned head's
            LockView v = Look(lock);
            EXPECT_EQ(v.locked, 0u);
            EXPECT_EQ(v.waiterCount, 2);
        }
        // A newcomer that finds the lock free while others are queued queues behind them.
        auto newcomer = Queue(lock, 3, 3);
        RemoveApiLockWaiter(&lock, pump->id());
        if (!freeAtRemoval) {
            EXPECT_FALSE(IsSignalled(lock.queue[0].event));
            EXPECT_EQ(Look(lock).waiters, (std::vector<uint32_t>{next->id(), newcomer->id()}));
            ReleaseApiLock(&lock);
        }
        ASSERT_TRUE(next->WaitDone());
        ASSERT_TRUE(newcomer->WaitDone());
        EXPECT_EQ(order_, (std::vector<int>{2, 3}));
        LockView v = Look(lock);
        EXPECT_EQ(v.locked, 0u);
        EXPECT_EQ(v.waiterCount, 0);
        EXPECT_EQ(v.rewaits, 0u);
        for (const ApiLockWaiter& slot : lock.queue) EXPECT_FALSE(IsSignalled(slot.event));
        pump.reset();
        next.reset();
        newcomer.reset();
        DestroyApiLock(&lock);
    }
}

// A pump thread whose abandoned entry is still queued waits on that entry when it tries again,
// instead of standing in the queue twice.
TEST_F(ApiLockTest, ThreadWithAnAbandonedEntryWaitsOnItWhenItTriesAgain) {
    ApiLockState& lock = MakeLock();
    volatile uint32_t quit = 0;
    AcquireApiLock(&lock);
    auto first = Queue(lock, 1, 1);
    std::atomic<uint32_t> pumpId{0};
    std::atomic<int> phase{0};
    std::atomic<bool> tookSecondTime{false};
    std::thread pump([&] {
        pumpId = plat::CurrentThreadId();
        EXPECT_FALSE(AcquireApiLockForPump(&lock, &quit));  // quit is set below
        phase = 1;
        while (phase != 2) std::this_thread::yield();
        tookSecondTime = AcquireApiLockForPump(&lock, &quit);
        order_.push_back(2);
        ReleaseApiLockForPump(&lock);
        phase = 3;
    });
    ASSERT_TRUE(WaitUntil([&] { return Look(lock).waiterCount == 2; }));
    SetQuit(quit, 1);
    ASSERT_TRUE(WaitUntil([&] { return phase == 1; }));
    SetQuit(quit, 0);
    phase = 2;
    // The second try finds its entry (the stray signal tells when it has looked).
    plat::SetEvent(lock.queue[1].event);
    ASSERT_TRUE(WaitUntil([&] { return Look(lock).rewaits >= 1; }));
    EXPECT_EQ(Look(lock).waiters, (std::vector<uint32_t>{first->id(), pumpId.load()}));
    ReleaseApiLock(&lock);
    ASSERT_TRUE(WaitUntil([&] { return phase == 3; }));
    pump.join();
    ASSERT_TRUE(first->WaitDone());
    EXPECT_TRUE(tookSecondTime);
    EXPECT_EQ(order_, (std::vector<int>{1, 2}));
    EXPECT_EQ(Look(lock).waiterCount, 0);
}

TEST_F(ApiLockTest, SlotsWhoseEventsCouldNotBeCreatedArePolled) {
    lock_ = std::make_unique<ApiLockState>(2, 2);
    ApiLockState& lock = *lock_;
    plat::FailNextEventCreates(2);
    AcquireApiLock(&lock);
    for (const ApiLockWaiter& slot : lock.queue) EXPECT_EQ(slot.event, nullptr);
    auto first = Queue(lock, 1, 1);
    auto second = Queue(lock, 2, 2);
    ReleaseApiLock(&lock);
    ASSERT_TRUE(first->WaitDone());
    ASSERT_TRUE(second->WaitDone());
    EXPECT_EQ(order_, (std::vector<int>{1, 2}));
}

TEST_F(ApiLockTest, DestroyLeavesNoEventAndTheNextAcquireCreatesAFreshLock) {
    ApiLockState& lock = MakeLock();
    AcquireApiLock(&lock);
    auto waiter = Queue(lock, 1, 1);
    ReleaseApiLock(&lock);
    ASSERT_TRUE(waiter->WaitDone());
    waiter.reset();

    DestroyApiLock(&lock);
    EXPECT_EQ(lock.created, 0u);
    EXPECT_EQ(lock.guard, nullptr);
    EXPECT_EQ(lock.waiterCount, 0);
    EXPECT_EQ(lock.locked, 0u);
    EXPECT_EQ(lock.recursion, 0);
    for (const ApiLockWaiter& slot : lock.queue) EXPECT_EQ(slot.event, nullptr);
    DestroyApiLock(&lock);  // a second destroy does nothing
    EXPECT_EQ(lock.created, 0u);

    AcquireApiLock(&lock);
    EXPECT_EQ(lock.created, 1u);
    ASSERT_NE(lock.guard, nullptr);
    ASSERT_EQ(lock.queue.size(), 4u);
    for (const ApiLockWaiter& slot : lock.queue) {
        ASSERT_NE(slot.event, nullptr);
        EXPECT_FALSE(IsSignalled(slot.event));
    }
    LockView v = Look(lock);
    EXPECT_EQ(v.recursion, 1);
    EXPECT_EQ(v.owner, self_);
    ReleaseApiLock(&lock);
}

TEST_F(ApiLockTest, LibraryLockIsCreatedByItsFirstUseAndDestroyedWhole) {
    ApiLockState& global = GetApiLockState();
    DestroyApiLock(&global);
    ApiLock();
    ApiLock();
    EXPECT_EQ(global.created, 1u);
    EXPECT_EQ(global.queue.size(), 4096u);
    EXPECT_EQ(Look(global).recursion, 2);
    ApiUnlock();
    ApiUnlock();
    EXPECT_EQ(Look(global).locked, 0u);

    DestroyApiLock(&global);
    EXPECT_EQ(global.created, 0u);
    EXPECT_EQ(global.guard, nullptr);
    for (const ApiLockWaiter& slot : global.queue) ASSERT_EQ(slot.event, nullptr);
}

}  // namespace
