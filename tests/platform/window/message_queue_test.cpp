#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "window_fixture.h"

namespace {

using namespace plat;

constexpr uint32_t kA = WM_USER + 1;
constexpr uint32_t kB = WM_USER + 2;
constexpr uint32_t kC = WM_USER + 3;

using MessageQueueTest = WindowFixture;

TEST_F(MessageQueueTest, PostedMessagesComeInOrderAndQuitComesAfterThem) {
    WindowHandle w = Create();
    ASSERT_NE(w, 0u);
    Drain();
    ASSERT_TRUE(PostMessage(w, kA, 1, 2));
    PostQuitMessage(3);
    ASSERT_TRUE(PostMessage(w, kB, 0, 0));
    ASSERT_TRUE(PostMessage(0, kC, 0, 0));  // a thread message

    std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, kA);
    EXPECT_EQ(got[0].window, w);
    EXPECT_EQ(got[0].wParam, 1u);
    EXPECT_EQ(got[0].lParam, 2);
    EXPECT_EQ(got[1].message, kB);
    EXPECT_EQ(got[2].message, kC);
    EXPECT_EQ(got[2].window, 0u);
    EXPECT_EQ(got[3].message, WM_QUIT);
    EXPECT_EQ(got[3].wParam, 3u);
    // Quit is taken once.
    Message m{};
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, GetMessageReturnsZeroForQuit) {
    WindowHandle w = Create();
    Drain();
    PostMessage(w, kA, 0, 0);
    PostQuitMessage(0);
    Message m{};
    EXPECT_EQ(GetMessage(&m, 0, 0, 0), 1);
    EXPECT_EQ(m.message, kA);
    EXPECT_EQ(GetMessage(&m, 0, 0, 0), 0);
    EXPECT_EQ(m.message, WM_QUIT);
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRangeAndNoRemoveLeavesTheMessage) {
    WindowHandle w1 = Create();
    WindowHandle w2 = Create();
    Drain();
    PostMessage(w1, kA, 0, 0);
    PostMessage(w2, kB, 0, 0);
    PostMessage(0, kC, 0, 0);

    Message m{};
    ASSERT_TRUE(PeekMessage(&m, w2, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, kB);
    ASSERT_TRUE(PeekMessage(&m, kThreadMessagesOnly, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, kC);
    EXPECT_FALSE(PeekMessage(&m, kThreadMessagesOnly, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&m, 0, kB, kB, PM_REMOVE));
    EXPECT_EQ(m.window, w2);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{kA}));
}

TEST_F(MessageQueueTest, SendRunsTheProcedureAtOnceAndPostWaitsForDispatch) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    SetHook([](WindowHandle, uint32_t message, WParam wParam, LParam) -> std::optional<LResult> {
        if (message == kA) return static_cast<LResult>(wParam * 2);
        return std::nullopt;
    });
    EXPECT_EQ(SendMessage(w, kA, 21, 0), 42);
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{kA}));
    EXPECT_TRUE(Drain().empty());  // a sent message never enters the queue

    ClearCalls();
    PostMessage(w, kB, 0, 0);
    EXPECT_TRUE(CalledMessages().empty());
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    DispatchMessage(&m);
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{kB}));
}

TEST_F(MessageQueueTest, SendFromAnotherThreadRunsInsideTheOwnersPeekAndIsNotReturned) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    SetHook([](WindowHandle, uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == kA) return 77;
        return std::nullopt;
    });
    std::atomic<bool> done{false};
    LResult result = 0;
    uint32_t senderThread = 0;
    std::thread other([&] {
        senderThread = CurrentThreadId();
        result = SendMessage(w, kA, 5, 6);
        done = true;
    });
    // Nothing runs the message until the owner peeks; each peek runs it inside the call and
    // returns nothing.
    Message m{};
    while (CalledMessages({kA}).empty()) {
        EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
        std::this_thread::yield();
    }
    other.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(result, 77);
    std::vector<ProcCall> calls = Calls({kA});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].thread, CurrentThreadId());
    EXPECT_NE(calls[0].thread, senderThread);
    EXPECT_EQ(calls[0].wParam, 5u);
}

TEST_F(MessageQueueTest, WaitingGetMessageRunsSentMessagesAndWakesForPosts) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    std::thread other([w] {
        SendMessage(w, kA, 0, 0);  // returns only after the owner ran it
        PostMessage(w, kB, 0, 0);
    });
    Message m{};
    ASSERT_EQ(GetMessage(&m, 0, 0, 0), 1);
    other.join();
    EXPECT_EQ(m.message, kB);
    EXPECT_EQ(CalledMessages({kA, kB}), (std::vector<uint32_t>{kA}));
}

TEST_F(MessageQueueTest, AnotherThreadsPeekNeverSeesTheWindowsMessages) {
    WindowHandle w = Create();
    Drain();
    ASSERT_TRUE(PostMessage(w, kA, 0, 0));
    bool sawAny = true;
    bool sawWindow = true;
    std::thread other([&] {
        Message m{};
        sawAny = PeekMessage(&m, 0, 0, 0, PM_REMOVE);
        sawWindow = PeekMessage(&m, w, 0, 0, PM_REMOVE);
        // Posting from this thread is fine; the message goes to the owner.
        PostMessage(w, kB, 0, 0);
    });
    other.join();
    EXPECT_FALSE(sawAny);
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{kA, kB}));
}

TEST_F(MessageQueueTest, StaleHandleIsRefusedEverywhere) {
    WindowHandle w = Create();
    ASSERT_TRUE(DestroyWindow(w));
    WindowHandle reused = Create();  // takes the same slot with a new generation
    ASSERT_NE(reused, 0u);
    EXPECT_NE(reused, w);
    ClearCalls();

    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessage(w, kA, 0, 0));
    EXPECT_EQ(SendMessage(w, kA, 0, 0), 0);
    Message forged{w, kA, 0, 0, 0};
    EXPECT_EQ(DispatchMessage(&forged), 0);
    EXPECT_FALSE(SetWindowPos(w, 0, 1, 2, 3, 4, 0));
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 0u);
    EXPECT_EQ(GetWindowThreadId(w), 0u);
    Rect r{};
    EXPECT_FALSE(GetClientRect(w, &r));
    EXPECT_TRUE(CalledMessages().empty());  // nothing reached the window in the old slot
    EXPECT_TRUE(IsWindow(reused));
    EXPECT_EQ(SendMessage(0, kA, 0, 0), 0);
    EXPECT_FALSE(IsWindow(0x12345678u));
}

TEST_F(MessageQueueTest, WindowProcedureCanPumpAgain) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    // While handling A the procedure pumps, which dispatches B and a message sent from
    // another thread; then handling A ends.
    std::atomic<bool> sendQueued{false};
    std::thread other;
    SetHook([&](WindowHandle window, uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == kA) {
            other = std::thread([&, window] {
                sendQueued = true;
                SendMessage(window, kC, 0, 0);
            });
            while (CalledMessages({kC}).empty()) {
                Message m{};
                while (PeekMessage(&m, 0, 0, 0, PM_REMOVE)) DispatchMessage(&m);
                std::this_thread::yield();
            }
            return 1;
        }
        return std::nullopt;
    });
    PostMessage(w, kA, 0, 0);
    PostMessage(w, kB, 0, 0);
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(&m), 1);
    other.join();
    std::vector<uint32_t> order = CalledMessages({kA, kB, kC});
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], kA);
    EXPECT_TRUE(DrainMessageNumbers().empty());
}

TEST_F(MessageQueueTest, PostAndThreadMessagesFromOtherThreads) {
    WindowHandle w = Create();
    Drain();
    const uint32_t self = CurrentThreadId();
    std::thread other([&] {
        EXPECT_TRUE(PostThreadMessage(self, kA, 9, 0));
        EXPECT_FALSE(PostThreadMessage(0xFFFF0000u, kA, 0, 0));  // no such thread
    });
    other.join();
    std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].window, 0u);
    EXPECT_EQ(got[0].wParam, 9u);
    (void)w;
}

TEST_F(MessageQueueTest, QueueRefusesPostsBeyondItsLimit) {
    WindowHandle w = Create();
    Drain();
    int accepted = 0;
    while (PostMessage(w, kA, 0, 0) && accepted < 20000) ++accepted;
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(Drain().size(), 10000u);
    EXPECT_TRUE(PostMessage(w, kA, 0, 0));
}

TEST_F(MessageQueueTest, DestroyDropsQueuedMessagesOfTheWindowOnly) {
    WindowHandle w1 = Create();
    WindowHandle w2 = Create();
    Drain();
    PostMessage(w1, kA, 0, 0);
    PostMessage(w2, kB, 0, 0);
    ASSERT_TRUE(DestroyWindow(w1));
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{kB}));
}

TEST_F(MessageQueueTest, OnlyTheOwnerThreadDestroysAndDispatches) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    bool destroyed = true;
    LResult dispatched = -5;
    std::thread other([&] {
        destroyed = DestroyWindow(w);
        Message m{w, kA, 0, 0, 0};
        dispatched = DispatchMessage(&m);
    });
    other.join();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(dispatched, 0);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_TRUE(CalledMessages({kA}).empty());
}

}  // namespace
