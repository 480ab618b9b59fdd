// The library's message-pump thread: it pumps under the library lock, and once quit is set it
// gives up its place in the lock queue and ends.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "system/message_pump.h"
#include "tests/support/library_fixture.h"

namespace {

// Waits for a condition that another thread makes true; false after 5 s. The waits are the
// platform's sleeps, so under the virtual clock they move it for the pump thread too.
template <class Condition>
bool WaitFor(Condition condition) {
    for (int i = 0; i < 5000; ++i) {
        if (condition()) return true;
        plat::SleepMs(1);
    }
    return condition();
}

std::atomic<uint32_t> gServiceThread{0};
std::atomic<bool> gServiceHeldLock{false};

class PumpThreadTest : public LibraryFixture {
protected:
    static uint32_t PumpThreadId() {
        return std::atomic_ref<uint32_t>(GetWindowData().window.pumpThreadId).load();
    }
    static bool PumpThreadEnded() {
        return std::atomic_ref<uint32_t>(GetWindowData().window.pumpThreadEnded).load() != 0;
    }
    // The queue as the lock's guard sees it: entries and the head's thread.
    static void ReadQueue(int32_t* count, uint32_t* head) {
        ApiLockState& lock = GetApiLockState();
        plat::EnterCriticalSection(lock.guard);
        *count = lock.waiterCount;
        *head = lock.waiterCount > 0 ? lock.queue[0].threadId : 0;
        plat::LeaveCriticalSection(lock.guard);
    }
};

TEST_F(PumpThreadTest, PumpsUnderTheLibraryLock) {
    gServiceThread = 0;
    gServiceHeldLock = false;
    ASSERT_EQ(ApiInitLibrary(), 0);
    // Installed under the lock: the pump thread already runs.
    ApiLock();
    InstallTestPumpServices().pollMusic = [] {
        const uint32_t self = plat::CurrentThreadId();
        if (self == GetWindowData().window.mainThreadId) return;
        const ApiLockState& lock = GetApiLockState();
        gServiceHeldLock = lock.locked == 1 && lock.owner == self;
        gServiceThread = self;
    };
    ApiUnlock();
    ASSERT_TRUE(WaitFor([] { return gServiceThread.load() != 0; }));
    EXPECT_EQ(gServiceThread.load(), PumpThreadId());
    EXPECT_TRUE(gServiceHeldLock.load());
}

TEST_F(PumpThreadTest, LeavesTheLockQueueOnceQuitIsSet) {
    ASSERT_EQ(ApiInitLibrary(), 0);
    ApiLock();
    // The pump thread comes to wait behind the main thread.
    ASSERT_TRUE(WaitFor([] {
        int32_t count = 0;
        uint32_t head = 0;
        ReadQueue(&count, &head);
        return count == 1 && head != 0 && head == PumpThreadId();
    }));

    // The user closes the window while the pump thread waits.
    plat::InjectClose(Window());
    EXPECT_EQ(ProcessMessage(), -1);

    // It stops waiting at its next look at quit, without ever getting the lock.
    ASSERT_TRUE(WaitFor([] { return PumpThreadEnded(); }));
    int32_t count = -1;
    uint32_t head = 0;
    ReadQueue(&count, &head);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetApiLockState().owner, plat::CurrentThreadId());
    ApiUnlock();

    EXPECT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetWindowData().window.pumpThread, nullptr);
}

}  // namespace
