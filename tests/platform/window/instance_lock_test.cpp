#include <gtest/gtest.h>

#include <filesystem>

#include "platform/window/instance_lock.h"
#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"
#include "tests/support/temp_dir.h"
#include "tests/platform/window/window_fixture.h"

namespace {

using namespace plat;

class InstanceLockTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        SetInstanceLockDirectory(dir_.str().c_str());
    }
    ScopedTempDir dir_;
};

TEST_F(InstanceLockTest, TheFirstCheckTakesTheLockAndRefusesEveryOtherHolder) {
    EXPECT_FALSE(FindRunningWindow(kClassName));
    EXPECT_FALSE(ProbeInstanceLockFromChild(kClassName));
    EXPECT_FALSE(TakeSecondInstanceLock(kClassName));
    EXPECT_EQ(StartInstanceLockHolder(kClassName), -1);
    // Checking again from this process finds no other instance.
    EXPECT_FALSE(FindRunningWindow(kClassName));
    // Other class names are independent.
    EXPECT_TRUE(ProbeInstanceLockFromChild("OtherClass"));
}

TEST_F(InstanceLockTest, TheLockIsHeldUntilTheWindowIsDestroyed) {
    ASSERT_FALSE(FindRunningWindow(kClassName));
    WindowHandle w = Create();
    ASSERT_NE(w, 0u);
    EXPECT_FALSE(ProbeInstanceLockFromChild(kClassName));
    ASSERT_TRUE(DestroyWindow(w));
    EXPECT_TRUE(ProbeInstanceLockFromChild(kClassName));
}

TEST_F(InstanceLockTest, AnotherProcessHoldingTheLockIsARunningWindowUntilItEnds) {
    const int holder = StartInstanceLockHolder(kClassName);
    ASSERT_GT(holder, 0);
    EXPECT_TRUE(FindRunningWindow(kClassName));
    StopInstanceLockHolder(holder);  // the kernel releases the lock with the process
    EXPECT_FALSE(FindRunningWindow(kClassName));
    EXPECT_FALSE(ProbeInstanceLockFromChild(kClassName));
}

TEST_F(InstanceLockTest, ASecondOpenFileDescriptionCountsAsAnotherInstance) {
    ASSERT_TRUE(TakeSecondInstanceLock(kClassName));
    EXPECT_TRUE(FindRunningWindow(kClassName));
    ReleaseSecondInstanceLock(kClassName);
    EXPECT_FALSE(FindRunningWindow(kClassName));
}

TEST_F(InstanceLockTest, ALiveWindowOfTheClassInThisProcessIsFound) {
    WindowHandle w = Create();
    EXPECT_TRUE(FindRunningWindow(kClassName));
    DestroyWindow(w);
    EXPECT_FALSE(FindRunningWindow(kClassName));
}

TEST_F(InstanceLockTest, TheLockFileIsNamedByTheClassNamesBytes) {
    ASSERT_FALSE(FindRunningWindow("Ab"));
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "zn-window-4162.lock"));
    // Shift-JIS bytes as they are ("ゲーム" in the library's encoding).
    ASSERT_FALSE(FindRunningWindow("\x83\x51\x81\x5B\x83\x80"));
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "zn-window-8351815b8380.lock"));
    // A very long name still makes a usable file.
    const std::string longName(300, 'x');
    EXPECT_FALSE(FindRunningWindow(longName.c_str()));
    EXPECT_FALSE(ProbeInstanceLockFromChild(longName.c_str()));
}

}  // namespace
