// The drivers the system layer declares: each absent instance answers as a library without the
// supplying module would.
#include <gtest/gtest.h>

#include "platform/core/thread.h"
#include "system/input_host.h"
#include "system/pump_services.h"
#include "system/window_system.h"

namespace {

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
    static constexpr InputHost kOtherThreadsWindow = {
        .processMessage = [] { return -1; },
        .waitWhileInactive = [] {},
        .windowClosing = [] { return 1; },
        .windowActive = [] { return 0; },
        .mainThreadId = [] { return plat::CurrentThreadId() + 1; },
        .libraryWindow = [] { return plat::WindowHandle{7}; },
        .f10KeyHeld = [] { return 1; },
    };
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
