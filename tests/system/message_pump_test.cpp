// The message pump: its passes, the inactive wait, quit and close, the service step, and the
// wait of the drawing routines while the window is inactive.
#include "system/message_pump.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/core/thread.h"
#include "platform/window/window_messages.h"
#include "tests/support/library_fixture.h"

namespace {

struct Seen {
    uint32_t message;
    plat::WParam wParam;
    uint64_t microseconds;  // virtual clock when the window procedure got it
};
std::vector<Seen> gSeen;

plat::LResult RecordMessage(plat::WindowHandle, uint32_t message, plat::WParam wParam,
                            plat::LParam) {
    gSeen.push_back(Seen{message, wParam, plat::VirtualClockMicroseconds()});
    return 0;
}

std::vector<std::string> gServiceCalls;

class MessagePumpTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        gSeen.clear();
        gServiceCalls.clear();
        StartWithoutPumpThread();
        // From here on the clock moves only when the pump sleeps.
        plat::SetVirtualClockReadStep(0);
        GetWindowData().settings.userMessageHook = RecordMessage;
    }

    static void PostUserMessages(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(plat::PostMessage(Window(), plat::WM_USER + i, 0, 0));
        }
    }

    // Virtual times (relative to start) at which the user messages reached the window.
    static std::vector<uint64_t> UserMessageTimes(uint64_t start) {
        std::vector<uint64_t> times;
        for (const Seen& s : gSeen) {
            if (s.message >= plat::WM_USER) times.push_back(s.microseconds - start);
        }
        return times;
    }

    static void RecordServices() {
        PumpServices& services = InstallTestPumpServices();
        services.refillSoundStreams = [] { gServiceCalls.push_back("sound"); };
        services.pollMusic = [] { gServiceCalls.push_back("music"); };
        services.stepJoypadEffects = [] { gServiceCalls.push_back("joypad"); };
        services.stepSocketMessages = [](int flag) {
            gServiceCalls.push_back("socket" + std::to_string(flag));
        };
        services.stepHttpTransfers = [] { gServiceCalls.push_back("http"); };
        services.stepKeyInput = [] {
            gServiceCalls.push_back("key" + std::to_string(GetWindowData().window.reentryGuard));
            // A handler that pumps again from inside the key-input step gets 0 at once.
            gServiceCalls.push_back("nested" + std::to_string(ProcessMessage()));
        };
    }
};

TEST_F(MessagePumpTest, InactiveWindowHandlesTwelveMessagesInPassesOfFiveFiveAndTwo) {
    RecordServices();
    WindowData& data = GetWindowData();
    data.window.active = 0;
    PostUserMessages(12);
    plat::InjectActivation(Window(), true);

    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(ApiProcessMessage(), 0);

    // Each pass of the inactive wait sleeps 1 ms before it and 1 ms after it.
    const std::vector<uint64_t> expected = {1000, 1000, 1000, 1000, 1000, 3000, 3000, 3000,
                                            3000, 3000, 5000, 5000};
    EXPECT_EQ(UserMessageTimes(start), expected);
    // The activation came in the third pass, after the last two messages.
    ASSERT_FALSE(gSeen.empty());
    EXPECT_EQ(gSeen.back().message, plat::WM_ACTIVATE);
    EXPECT_EQ(gSeen.back().microseconds - start, 5000u);
    EXPECT_EQ(data.window.active, 1u);
    EXPECT_EQ(data.window.inactiveWaitStarted, 1u);
    EXPECT_EQ(data.window.inactiveSince, static_cast<uint32_t>(start / 1000));

    // Serviced after each of the two inactive passes, then the call's own service step.
    const std::vector<std::string> services = {
        "socket1", "http", "sound",                                       // after pass 1
        "socket1", "http", "sound",                                       // after pass 2
        "sound",   "music", "joypad", "socket1", "http", "key1", "nested0"};  // service step
    EXPECT_EQ(gServiceCalls, services);
    EXPECT_EQ(data.window.reentryGuard, 0u);
}

TEST_F(MessagePumpTest, ActiveWindowDrainsABurstInOneCallWithoutWaiting) {
    PostUserMessages(12);
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(ApiProcessMessage(), 0);
    EXPECT_EQ(UserMessageTimes(start), std::vector<uint64_t>(12, 0));
    EXPECT_EQ(plat::VirtualClockMicroseconds(), start);
}

TEST_F(MessagePumpTest, QuitMessageIsDispatchedAndEndsTheCallBeforeTheNextMessage) {
    PostUserMessages(1);
    plat::PostQuitMessage(0);
    plat::InvalidateWindow(Window());  // WM_PAINT comes after WM_QUIT

    EXPECT_EQ(ApiProcessMessage(), -1);
    EXPECT_TRUE(IsQuitRequested());
    ASSERT_EQ(gSeen.size(), 1u);
    EXPECT_EQ(gSeen[0].message, plat::WM_USER);
    // The paint taken after quit is dropped, and every later call returns -1 at once.
    EXPECT_EQ(ApiProcessMessage(), -1);
    EXPECT_EQ(gSeen.size(), 1u);
}

TEST_F(MessagePumpTest, CloseFromTheUserDestroysTheWindowAndQuits) {
    const plat::WindowHandle window = Window();
    const int closeLine = static_cast<int>(LogLines().size());
    plat::InjectClose(window);

    EXPECT_EQ(ApiProcessMessage(), -1);
    EXPECT_FALSE(plat::IsWindow(window));
    const WindowData& data = GetWindowData();
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(data.window.destroyed, 1u);
    EXPECT_EQ(data.library.ending, 4u);
    const int first = FindLine("ウインドウを閉じようとしています", closeLine);
    ASSERT_GE(first, 0);
    EXPECT_EQ(FindLine("ウインドウが破棄されようとしています", first), first + 1);
    EXPECT_EQ(FindLine("ソフトを終了する準備が整いました", first), first + 2);
    std::vector<uint32_t> order;
    for (const Seen& s : gSeen) {
        if (s.message == plat::WM_CLOSE || s.message == plat::WM_DESTROY) order.push_back(s.message);
    }
    EXPECT_EQ(order, (std::vector<uint32_t>{plat::WM_CLOSE, plat::WM_DESTROY}));
    EXPECT_EQ(ApiProcessMessage(), -1);

    // Shut-down after the user closed the window still ends normally.
    EXPECT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetWindowData().window.handle, 0u);
}

TEST_F(MessagePumpTest, OtherThreadMakesOnePassAndSeesNoWindowMessage) {
    RecordServices();
    GetWindowData().window.active = 0;
    PostUserMessages(1);
    int result = 1;
    // Started through the platform, so that its waits and the join follow the virtual clock.
    plat::Thread* other = plat::StartThread(
        [](void* out) { *static_cast<int*>(out) = ProcessMessage(); }, &result);
    ASSERT_NE(other, nullptr);
    plat::JoinThread(other);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(gSeen.empty());
    // Its one pass was serviced as inactive, then the service step ran.
    ASSERT_FALSE(gServiceCalls.empty());
    EXPECT_EQ(gServiceCalls[0], "socket1");

    // The window's message waits for the main thread.
    GetWindowData().window.active = 1;
    EXPECT_EQ(ApiProcessMessage(), 0);
    ASSERT_EQ(gSeen.size(), 1u);
    EXPECT_EQ(gSeen[0].message, plat::WM_USER);
}

TEST_F(MessagePumpTest, WaitWhileInactiveReturnsAtOnceWhileActive) {
    PostUserMessages(1);
    const uint64_t start = plat::VirtualClockMicroseconds();
    WaitWhileInactive();
    EXPECT_TRUE(gSeen.empty());
    EXPECT_EQ(plat::VirtualClockMicroseconds(), start);
    EXPECT_EQ(GetWindowData().window.inactiveWaitStarted, 0u);
}

TEST_F(MessagePumpTest, WaitWhileInactiveHoldsUntilTheWindowIsActiveAgain) {
    WindowData& data = GetWindowData();
    data.window.active = 0;
    PostUserMessages(3);
    plat::InjectActivation(Window(), true);
    WaitWhileInactive();
    EXPECT_EQ(data.window.active, 1u);
    EXPECT_EQ(data.window.inactiveWaitStarted, 1u);
    EXPECT_EQ(UserMessageTimes(0).size(), 3u);
    EXPECT_FALSE(IsQuitRequested());
}

TEST_F(MessagePumpTest, WaitWhileInactiveEndsWhenTheWindowCloses) {
    GetWindowData().window.active = 0;
    plat::InjectClose(Window());
    WaitWhileInactive();
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(GetWindowData().window.active, 0u);
}

// Without a window: no queue is touched, no service runs, and the result follows quit.
class NoWindowPumpTest : public LibraryFixture {};

TEST_F(NoWindowPumpTest, ProcessMessageWithoutAWindowTouchesNoQueue) {
    int serviced = 0;
    static int* counter = &serviced;
    InstallTestPumpServices().pollMusic = [] { ++*counter; };
    ASSERT_TRUE(plat::PostMessage(0, plat::WM_USER, 0, 0));

    EXPECT_EQ(ProcessMessage(), 0);
    SetQuitRequested();
    EXPECT_EQ(ProcessMessage(), -1);
    EXPECT_EQ(serviced, 0);
    plat::Message message{};
    EXPECT_TRUE(plat::PeekMessage(&message, 0, 0, 0, plat::PM_REMOVE));
    EXPECT_EQ(message.message, plat::WM_USER);
}

TEST_F(NoWindowPumpTest, WaitWhileInactiveWithoutAWindowDoesNotWait) {
    GetWindowData().window.active = 0;
    WaitWhileInactive();  // would pump for ever if it waited
    EXPECT_EQ(GetWindowData().window.inactiveWaitStarted, 0u);
}

}  // namespace
