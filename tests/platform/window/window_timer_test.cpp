#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/window/window.h"
#include "window_fixture.h"

namespace {

using namespace plat;

using WindowTimerTest = WindowFixture;

std::vector<uintptr_t> g_routineCalls;

void TimerRoutine(WindowHandle, uint32_t message, uintptr_t id, uint32_t) {
    if (message == WM_TIMER) g_routineCalls.push_back(id);
}

TEST_F(WindowTimerTest, FiresOnTheVirtualClockAndRestartsWhenTaken) {
    WindowHandle w = Create();
    Drain();
    ASSERT_EQ(SetTimer(w, 5, 100, nullptr), 5u);
    Message m{};
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    AdvanceVirtualClock(99'000);
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    AdvanceVirtualClock(1'000);
    // Looking without removing leaves it due.
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.window, w);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(m.time, 100u);
    // Many intervals passing give one message, then the interval starts again.
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    AdvanceVirtualClock(350'000);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_TIMER}));
    AdvanceVirtualClock(100'000);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_TIMER}));

    EXPECT_TRUE(KillTimer(w, 5));
    EXPECT_FALSE(KillTimer(w, 5));
    AdvanceVirtualClock(1'000'000);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(WindowTimerTest, PostedMessagesComeBeforeADueTimer) {
    WindowHandle w = Create();
    Drain();
    SetTimer(w, 1, 10, nullptr);
    AdvanceVirtualClock(10'000);
    PostMessage(w, WM_USER, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_USER, WM_QUIT, WM_TIMER}));
}

TEST_F(WindowTimerTest, GetMessageSleepsOnTheVirtualClockUntilTheTimerIsDue) {
    WindowHandle w = Create();
    Drain();
    const uint64_t start = VirtualClockMicroseconds();
    SetTimer(w, 9, 250, nullptr);
    Message m{};
    ASSERT_EQ(GetMessage(&m, 0, 0, 0), 1);
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.wParam, 9u);
    EXPECT_EQ(VirtualClockMicroseconds() - start, 250'000u);
}

TEST_F(WindowTimerTest, RoutineRunsFromDispatchOnlyWhileTheTimerLives) {
    WindowHandle w = Create();
    Drain();
    g_routineCalls.clear();
    ClearCalls();
    SetTimer(w, 0x7FFF, 17, &TimerRoutine);
    AdvanceVirtualClock(17'000);
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    DispatchMessage(&m);
    EXPECT_EQ(g_routineCalls, (std::vector<uintptr_t>{0x7FFF}));
    EXPECT_TRUE(CalledMessages({WM_TIMER}).empty());  // the routine, not the procedure

    // A timer killed between taking and dispatching its message does not run.
    AdvanceVirtualClock(17'000);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    KillTimer(w, 0x7FFF);
    DispatchMessage(&m);
    EXPECT_EQ(g_routineCalls.size(), 1u);
}

TEST_F(WindowTimerTest, ThreadTimersShortIntervalsAndFilters) {
    WindowHandle w = Create();
    Drain();
    const uintptr_t id = SetTimer(0, 0, 1, nullptr);  // raised to 10 ms
    ASSERT_NE(id, 0u);
    EXPECT_EQ(SetTimer(w, 0, 10, nullptr), 0u);  // a window timer needs an id
    AdvanceVirtualClock(9'000);
    Message m{};
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    AdvanceVirtualClock(1'000);
    EXPECT_FALSE(PeekMessage(&m, w, 0, 0, PM_REMOVE));  // not a timer of the window
    EXPECT_FALSE(PeekMessage(&m, 0, WM_USER, WM_USER, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&m, kThreadMessagesOnly, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.window, 0u);
    EXPECT_EQ(m.wParam, id);
    EXPECT_TRUE(KillTimer(0, id));
}

TEST_F(WindowTimerTest, ResettingATimerRestartsItsInterval) {
    WindowHandle w = Create();
    Drain();
    SetTimer(w, 3, 100, nullptr);
    AdvanceVirtualClock(90'000);
    SetTimer(w, 3, 100, nullptr);
    AdvanceVirtualClock(90'000);
    Message m{};
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    AdvanceVirtualClock(10'000);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_TIMER}));
}

}  // namespace
