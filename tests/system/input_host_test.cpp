// The window system as the input routines see it: they read the window system's state and
// call its pump and inactive-window wait directly.
#include <gtest/gtest.h>

#include "platform/core/thread.h"
#include "system/input_host.h"
#include "system/window_data.h"

namespace {

class InputHostTest : public ::testing::Test {
protected:
    void SetUp() override { GetWindowData().window = WindowState{}; }
    void TearDown() override { GetWindowData().window = WindowState{}; }
    static WindowState& TheWindow() { return GetWindowData().window; }
};

// The window, its activity, its closing, the main thread and the F10 flag come from the window
// system's state as it stands at each call.
TEST_F(InputHostTest, InputRoutinesFollowTheWindowSystemsState) {
    TheWindow().handle = 7;
    TheWindow().closing = 1;
    TheWindow().active = 0;
    TheWindow().mainThreadId = plat::CurrentThreadId() + 1;
    TheWindow().f10KeyHeld = 1;
    EXPECT_EQ(InputLibraryWindow(), plat::WindowHandle{7});
    EXPECT_TRUE(InputWindowClosing());
    EXPECT_FALSE(InputWindowActive());
    EXPECT_FALSE(InputOnMainThread());
    EXPECT_TRUE(InputF10KeyHeld());

    TheWindow().closing = 0;
    TheWindow().active = 1;
    TheWindow().mainThreadId = plat::CurrentThreadId();
    TheWindow().f10KeyHeld = 0;
    EXPECT_FALSE(InputWindowClosing());
    EXPECT_TRUE(InputWindowActive());
    EXPECT_TRUE(InputOnMainThread());
    EXPECT_FALSE(InputF10KeyHeld());
}

// While the main thread is not known every thread counts as the main one.
TEST_F(InputHostTest, EveryThreadIsTheMainOneWhileNoneIsKnown) {
    ASSERT_EQ(TheWindow().mainThreadId, 0u);
    EXPECT_TRUE(InputOnMainThread());
}

// Without a window there is nothing to pump and nothing to wait for: the pump reports only
// the quit flag, and the inactive wait returns at once.
TEST_F(InputHostTest, WithoutAWindowThePumpReportsOnlyTheQuitFlag) {
    ASSERT_EQ(GetWindowData().settings.noWindow, 0u);
    EXPECT_EQ(InputLibraryWindow(), 0u);
    EXPECT_EQ(InputProcessMessage(), 0);
    InputWaitWhileInactive();
    EXPECT_EQ(TheWindow().inactiveWaitStarted, 0u);
    SetQuitRequested();
    EXPECT_NE(InputProcessMessage(), 0);
}

}  // namespace
