#include <gtest/gtest.h>

#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"
#include "window_fixture.h"

namespace {

using namespace plat;

using WindowTest = WindowFixture;

TEST_F(WindowTest, CreateDeliversCreateSizeMoveAndShowSynchronously) {
    struct Seen {
        void* param = nullptr;
        std::string title;
        int32_t width = 0;
    };
    static Seen seen;
    seen = Seen{};
    SetHook([](WindowHandle, uint32_t message, WParam, LParam lParam) -> std::optional<LResult> {
        if (message == WM_CREATE) {
            const CreateStruct* cs = reinterpret_cast<const CreateStruct*>(lParam);
            seen.param = cs->createParam;
            seen.title = cs->title;
            seen.width = cs->width;
        }
        return std::nullopt;
    });
    int token = 0;
    WindowHandle w = CreateWindow(kClassName, "abc", WS_VISIBLE, 0, -5, 7, 300, 200, &token);
    ASSERT_NE(w, 0u);
    EXPECT_EQ(CalledMessages(),
              (std::vector<uint32_t>{WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    std::vector<ProcCall> calls = Calls();
    EXPECT_EQ(calls[1].wParam, SIZE_RESTORED);
    EXPECT_EQ(LowWord(static_cast<uintptr_t>(calls[1].lParam)), 300u);
    EXPECT_EQ(HighWord(static_cast<uintptr_t>(calls[1].lParam)), 200u);
    EXPECT_EQ(SignedLowWord(static_cast<uintptr_t>(calls[2].lParam)), -5);
    EXPECT_EQ(SignedHighWord(static_cast<uintptr_t>(calls[2].lParam)), 7);
    EXPECT_EQ(calls[3].wParam, 1u);
    EXPECT_EQ(seen.param, &token);
    EXPECT_EQ(seen.title, "abc");
    EXPECT_EQ(seen.width, 300);
    EXPECT_TRUE(IsWindowVisible(w));
    // Only the first paint is queued.
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_PAINT}));
    char title[8];
    EXPECT_EQ(GetWindowText(w, title, sizeof title), 3);
    EXPECT_STREQ(title, "abc");
}

TEST_F(WindowTest, CreateFailsForUnknownClassRefusalOrCreateResultMinusOne) {
    EXPECT_EQ(CreateWindow("NoSuchClass", "", 0, 0, 0, 0, 10, 10, nullptr), 0u);
    FailNextWindowCreations(1);
    EXPECT_EQ(Create(), 0u);
    EXPECT_NE(Create(), 0u);  // only the next one failed

    ClearCalls();
    SetHook([](WindowHandle, uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    });
    EXPECT_EQ(Create(), 0u);
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(HasWindowOfClass("NoSuchClass"));
}

TEST_F(WindowTest, ClassRegistrationRefusals) {
    const WindowClass good{0, &RecordingProc, 0, 0, 0, "Another"};
    struct Case {
        const char* what;
        WindowClass c;
        int injectedFailures;
    };
    const Case cases[] = {
        {"taken name", WindowClass{0, &RecordingProc, 0, 0, 0, kClassName}, 0},
        {"empty name", WindowClass{0, &RecordingProc, 0, 0, 0, ""}, 0},
        {"no name", WindowClass{0, &RecordingProc, 0, 0, 0, nullptr}, 0},
        {"no procedure", WindowClass{0, nullptr, 0, 0, 0, "Another"}, 0},
        {"refused", good, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FailNextWindowClassRegistrations(c.injectedFailures);
        EXPECT_EQ(RegisterWindowClass(c.c), 0);
    }
    EXPECT_NE(RegisterWindowClass(good), 0);
    EXPECT_TRUE(UnregisterWindowClass("Another"));
    EXPECT_FALSE(UnregisterWindowClass("Another"));

    WindowHandle w = Create();
    EXPECT_FALSE(UnregisterWindowClass(kClassName));  // still has a window
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterWindowClass(kClassName));
}

struct PlacementCase {
    const char* what;
    int32_t x, y, width, height;
    uint32_t flags;
    std::vector<uint32_t> expected;
    Rect after;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.what; }

class WindowPlacementTest : public WindowFixture,
                            public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(WindowPlacementTest, SizeAndMoveAreSentOnlyWhenTheyChange) {
    const PlacementCase& c = GetParam();
    WindowHandle w = Create(0, 10, 20, 320, 240);
    ASSERT_NE(w, 0u);
    ClearCalls();
    ASSERT_TRUE(SetWindowPos(w, 0, c.x, c.y, c.width, c.height, c.flags));
    EXPECT_EQ(CalledMessages(), c.expected);
    Rect r{};
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, c.after.left);
    EXPECT_EQ(r.top, c.after.top);
    EXPECT_EQ(r.right, c.after.right);
    EXPECT_EQ(r.bottom, c.after.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"same", 10, 20, 320, 240, 0, {}, {10, 20, 330, 260}},
        PlacementCase{"move", 11, 20, 320, 240, 0, {WM_MOVE}, {11, 20, 331, 260}},
        PlacementCase{"size", 10, 20, 640, 480, 0, {WM_SIZE}, {10, 20, 650, 500}},
        PlacementCase{"both", 0, 0, 1, 1, 0, {WM_MOVE, WM_SIZE}, {0, 0, 1, 1}},
        PlacementCase{"no size", 5, 6, 1, 1, SWP_NOSIZE, {WM_MOVE}, {5, 6, 325, 246}},
        PlacementCase{"no move", 5, 6, 1, 1, SWP_NOMOVE, {WM_SIZE}, {10, 20, 11, 21}},
        PlacementCase{"neither", 5, 6, 1, 1, SWP_NOMOVE | SWP_NOSIZE, {}, {10, 20, 330, 260}},
        PlacementCase{"show", 10, 20, 320, 240, SWP_SHOWWINDOW, {WM_SHOWWINDOW},
                      {10, 20, 330, 260}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (ch == ' ') ch = '_';
        }
        return name;
    });

TEST_F(WindowTest, ClientRectangleAndScreenPoints) {
    WindowHandle w = Create(0, 100, 50, 640, 480);
    Rect r{};
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);
    Point p{3, 4};
    ASSERT_TRUE(ClientToScreen(w, &p));
    EXPECT_EQ(p.x, 103);
    EXPECT_EQ(p.y, 54);
    EXPECT_TRUE(MoveWindow(w, 0, 0, 640, 480, true));
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, 0);
}

TEST_F(WindowTest, ShowMinimiseMaximiseAndRestore) {
    SetHeadlessDesktop(800, 600, 32);
    WindowHandle w = Create(0, 10, 20, 320, 240);
    ClearCalls();
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));  // was hidden
    EXPECT_TRUE(ShowWindow(w, SW_SHOW));   // already shown: no message
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{WM_SHOWWINDOW}));

    ClearCalls();
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsWindowMinimized(w));
    ShowWindow(w, SW_MINIMIZE);
    ShowWindow(w, SW_RESTORE);
    ShowWindow(w, SW_MAXIMIZE);
    ShowWindow(w, SW_RESTORE);
    std::vector<ProcCall> calls = Calls({WM_SIZE});
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(calls[1].wParam, SIZE_RESTORED);
    EXPECT_EQ(calls[1].lParam, MakeLParam(320, 240));
    EXPECT_EQ(calls[2].wParam, SIZE_MAXIMIZED);
    EXPECT_EQ(calls[2].lParam, MakeLParam(800, 600));
    EXPECT_EQ(calls[3].wParam, SIZE_RESTORED);
    EXPECT_EQ(calls[3].lParam, MakeLParam(320, 240));
    Rect r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 10);

    ClearCalls();
    EXPECT_TRUE(ShowWindow(w, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(w));
    std::vector<ProcCall> hide = Calls();
    ASSERT_EQ(hide.size(), 1u);
    EXPECT_EQ(hide[0].message, WM_SHOWWINDOW);
    EXPECT_EQ(hide[0].wParam, 0u);
}

TEST_F(WindowTest, DestroyDeliversDestroyThenFreesTheWindowAndItsTimers) {
    WindowHandle w = Create();
    SetTimer(w, 1, 10, nullptr);
    bool validDuringDestroy = false;
    SetHook([&](WindowHandle window, uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == WM_DESTROY) validDuringDestroy = IsWindow(window);
        return std::nullopt;
    });
    ClearCalls();
    ASSERT_TRUE(DestroyWindow(w));
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_TRUE(validDuringDestroy);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(KillTimer(w, 1));
}

TEST_F(WindowTest, CloseThroughDefaultProcessingDestroysTheWindow) {
    WindowHandle w = Create();
    Drain();
    ClearCalls();
    PostMessage(w, WM_CLOSE, 0, 0);
    PumpAll();
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(w));

    WindowHandle w2 = Create();
    ClearCalls();
    SendMessage(w2, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(CalledMessages(),
              (std::vector<uint32_t>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, PaintComesAfterPostedMessagesAndStaysUntilValidated) {
    WindowHandle w = Create(WS_VISIBLE);
    ClearCalls();
    PostMessage(w, WM_USER, 0, 0);
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);
    // Not validated: WM_PAINT comes again.
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    // Default processing validates it.
    DispatchMessage(&m);
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));

    // A hidden window is not painted; UpdateWindow paints at once.
    InvalidateWindow(w);
    ShowWindow(w, SW_HIDE);
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    ShowWindow(w, SW_SHOW);
    ClearCalls();
    UpdateWindow(w);
    EXPECT_EQ(CalledMessages({WM_PAINT}), (std::vector<uint32_t>{WM_PAINT}));
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));

    // A size change repaints a class with CS_HREDRAW / CS_VREDRAW.
    SetWindowPos(w, 0, 0, 0, 100, 100, SWP_NOMOVE);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    Rect paint{};
    ASSERT_TRUE(BeginPaint(w, &paint));
    EXPECT_EQ(paint.right, 100);
    EXPECT_TRUE(EndPaint(w));
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, TitleStyleCursorAndForeground) {
    WindowHandle w = Create();
    EXPECT_TRUE(SetWindowText(w, "\x83\x51\x81\x5B\x83\x80"));  // Shift-JIS bytes kept as given
    char title[16];
    GetWindowText(w, title, sizeof title);
    EXPECT_STREQ(title, "\x83\x51\x81\x5B\x83\x80");
    char small[3];
    EXPECT_EQ(GetWindowText(w, small, sizeof small), 2);

    EXPECT_TRUE(SetWindowStyle(w, WS_POPUP | WS_CAPTION, WS_EX_TOPMOST));
    ShowWindow(w, SW_SHOW);
    uint32_t style = 0, ex = 0;
    ASSERT_TRUE(GetWindowStyle(w, &style, &ex));
    EXPECT_EQ(style, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    EXPECT_EQ(ex, WS_EX_TOPMOST);

    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_TRUE(SetForegroundWindow(w));
    EXPECT_STREQ(WindowBackendName(), "headless");
}

TEST_F(WindowTest, ResetInvalidatesEveryHandle) {
    WindowHandle w = Create();
    ResetWindowTestControls();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(HasWindowOfClass(kClassName));
    EXPECT_EQ(CreateWindow(kClassName, "", 0, 0, 0, 0, 1, 1, nullptr), 0u);  // class gone too
}

}  // namespace
