// The public entries: each one runs its routine under the library lock.
#include "library/public/api.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "base/api_lock.h"
#include "system/window_data.h"

namespace {

class ApiEntryTest : public ::testing::Test {
protected:
    void SetUp() override { DestroyApiLock(&GetWindowData().apiLock); }
    void TearDown() override {
        DestroyApiLock(&GetWindowData().apiLock);
        plat::ResetTestControls();
    }
};

TEST_F(ApiEntryTest, GetMillisecondCountIgnoresItsArgumentAndReturnsTheClock) {
    plat::UseVirtualClock(true);
    plat::AdvanceVirtualClock(123456789);  // 123456.789 ms
    for (int argument : {0, 1, -1, 1000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(argument);
        EXPECT_EQ(ApiGetMillisecondCount(argument), 123456);
    }
    plat::AdvanceVirtualClock(5000);
    EXPECT_EQ(ApiGetMillisecondCount(0), 123461);
}

TEST_F(ApiEntryTest, EntryCreatesTheLockAndLeavesItFree) {
    ApiLockState& lock = GetWindowData().apiLock;
    ASSERT_EQ(lock.created, 0u);
    ApiGetMillisecondCount(0);
    EXPECT_EQ(lock.created, 1u);
    EXPECT_EQ(lock.locked, 0u);
    EXPECT_EQ(lock.recursion, 0);

    // After the lock is destroyed the next entry call creates a fresh one.
    DestroyApiLock(&lock);
    ApiGetMillisecondCount(0);
    EXPECT_EQ(lock.created, 1u);
    EXPECT_NE(lock.queue[0].event, nullptr);
    EXPECT_EQ(lock.locked, 0u);
}

}  // namespace
