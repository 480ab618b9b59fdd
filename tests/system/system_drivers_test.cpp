// The drivers the system layer declares: each absent instance is complete and answers as a
// library without the supplying module would.
#include <gtest/gtest.h>

#include "base/driver_slot.h"
#include "platform/core/thread.h"
#include "system/input_host.h"
#include "system/pump_services.h"
#include "system/window_system.h"

namespace {

TEST(SystemDriversTest, AbsentInstancesAreComplete) {
    EXPECT_TRUE(DriverIsComplete(InputHostSlot().Absent()));
    EXPECT_TRUE(DriverIsComplete(PumpServicesSlot().Absent()));
    EXPECT_TRUE(DriverIsComplete(WindowMessageSlot().Absent()));
}

// Without a window system: nothing to pump and no end asked for, no window, never closing,
// active, every thread counts as the main one, F10 not held.
TEST(SystemDriversTest, InputWithoutAWindowSystemGetsHonestAnswers) {
    ASSERT_TRUE(InputHostSlot().IsAbsent());
    EXPECT_EQ(InputProcessMessage(), 0);
    InputWaitWhileInactive();
    EXPECT_FALSE(InputWindowClosing());
    EXPECT_TRUE(InputWindowActive());
    EXPECT_TRUE(InputOnMainThread());
    EXPECT_EQ(InputLibraryWindow(), 0u);
    EXPECT_FALSE(InputF10KeyHeld());
}

// A test driver goes in through the slot and the input routines follow it; reset brings the
// absent answers back.
TEST(SystemDriversTest, InstalledHostIsFollowedUntilReset) {
    static constexpr InputHost kOtherThreadsWindow{
        [] { return -1; },
        [] {},
        [] { return 1; },
        [] { return 0; },
        [] { return plat::CurrentThreadId() + 1; },
        [] { return plat::WindowHandle{7}; },
        [] { return 1; }};
    InputHostSlot().Install(kOtherThreadsWindow);
    EXPECT_EQ(InputProcessMessage(), -1);
    EXPECT_TRUE(InputWindowClosing());
    EXPECT_FALSE(InputWindowActive());
    EXPECT_FALSE(InputOnMainThread());
    EXPECT_EQ(InputLibraryWindow(), plat::WindowHandle{7});
    EXPECT_TRUE(InputF10KeyHeld());
    InputHostSlot().Reset();
    EXPECT_TRUE(InputWindowActive());
    EXPECT_EQ(InputLibraryWindow(), 0u);
}

}  // namespace
