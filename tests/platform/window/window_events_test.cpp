#include <gtest/gtest.h>

#include <string>

#include "platform/core/text_encoding.h"
#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"
#include "window_fixture.h"

namespace {

using namespace plat;

using WindowEventsTest = WindowFixture;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST_F(WindowEventsTest, ActivationIsPostedInOrderOnlyWhenItChanges) {
    WindowHandle w = Create(WS_VISIBLE);
    Drain();
    InjectActivation(w, true);
    InjectActivation(w, true);
    std::vector<Message> on = Drain();
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(on[0].wParam, 1u);
    EXPECT_EQ(on[1].message, WM_ACTIVATE);
    EXPECT_EQ(LowWord(on[1].wParam), WA_ACTIVE);
    EXPECT_EQ(HighWord(on[1].wParam), 0u);

    InjectActivation(w, false);
    std::vector<Message> off = Drain();
    ASSERT_EQ(off.size(), 2u);
    EXPECT_EQ(off[0].message, WM_ACTIVATE);
    EXPECT_EQ(LowWord(off[0].wParam), WA_INACTIVE);
    EXPECT_EQ(off[1].message, WM_ACTIVATEAPP);
    EXPECT_EQ(off[1].wParam, 0u);
}

TEST_F(WindowEventsTest, MinimisingAnActiveWindowDeactivatesItWithTheMinimisedFlag) {
    WindowHandle w = Create(WS_VISIBLE, 0, 0, 640, 480);
    InjectActivation(w, true);
    Drain();
    ClearCalls();
    InjectMinimized(w, true);
    // The size change is sent at once (the owner thread reported it) ...
    std::vector<ProcCall> sized = Calls({WM_SIZE});
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].wParam, SIZE_MINIMIZED);
    // ... the deactivation is posted, minimised in the high word.
    std::vector<Message> queued = Drain();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].message, WM_ACTIVATE);
    EXPECT_EQ(LowWord(queued[0].wParam), WA_INACTIVE);
    EXPECT_NE(HighWord(queued[0].wParam), 0u);
    EXPECT_EQ(queued[1].message, WM_ACTIVATEAPP);

    ClearCalls();
    InjectMinimized(w, false);
    sized = Calls({WM_SIZE});
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(sized[0].lParam, MakeLParam(640, 480));
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_PAINT}));
}

TEST_F(WindowEventsTest, DesktopMovesAndSizesAreSentOnlyWhenTheyChange) {
    WindowHandle w = Create(WS_VISIBLE, 10, 20, 640, 480);
    Drain();
    ClearCalls();
    InjectMove(w, 10, 20);
    InjectResize(w, 640, 480);
    EXPECT_TRUE(CalledMessages().empty());
    InjectMove(w, 30, 40);
    InjectResize(w, 800, 600);
    EXPECT_EQ(CalledMessages(), (std::vector<uint32_t>{WM_MOVE, WM_SIZE}));
    Rect r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.right, 830);
    InjectExpose(w);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_PAINT}));
}

TEST_F(WindowEventsTest, CloseAndInterruptBecomeCloseMessages) {
    WindowHandle a = Create();
    WindowHandle b = Create();
    Drain();
    InjectClose(a);
    std::vector<Message> closing = Drain();
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_EQ(closing[0].message, WM_CLOSE);
    EXPECT_EQ(closing[0].window, a);

    InjectQuitSignal();
    ClearCalls();
    PumpAll();  // default processing destroys both
    EXPECT_EQ(CalledMessages({WM_CLOSE}).size(), 2u);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
}

TEST_F(WindowEventsTest, KeysAndTheirTranslation) {
    WindowHandle w = Create();
    Drain();
    // Return: WM_KEYDOWN, then its character comes before text typed after it.
    InjectKey(w, VK_RETURN, true);
    InjectText(w, "x");
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, VK_RETURN);
    EXPECT_EQ(m.lParam & 0xFFFF, 1);
    EXPECT_TRUE(TranslateMessage(&m));
    std::vector<Message> after = Drain();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].message, WM_CHAR);
    EXPECT_EQ(after[0].wParam, 0x0Du);
    EXPECT_EQ(after[1].message, WM_CHAR);
    EXPECT_EQ(after[1].wParam, static_cast<WParam>('x'));

    // Releasing: WM_KEYUP with the released and previous-state bits.
    InjectKey(w, VK_RETURN, false);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYUP);
    EXPECT_NE(static_cast<uint32_t>(m.lParam) & (1u << 31), 0u);
    EXPECT_NE(static_cast<uint32_t>(m.lParam) & (1u << 30), 0u);

    // A letter key gives no character of its own (text input does).
    InjectKey(w, 'A', true);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    TranslateMessage(&m);
    EXPECT_FALSE(PeekMessage(&m, 0, WM_CHAR, WM_CHAR, PM_REMOVE));
    InjectKey(w, 'A', false);
    Drain();

    // Ctrl+C gives control character 3.
    InjectKey(w, VK_CONTROL, true);
    InjectKey(w, 'C', true);
    Drain(0);
    Message c{w, WM_KEYDOWN, 'C', 1, 0};
    TranslateMessage(&c);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.wParam, 3u);
    InjectKey(w, 'C', false);
    InjectKey(w, VK_CONTROL, false);
    Drain();
    EXPECT_FALSE(IsKeyDown(VK_CONTROL));
}

TEST_F(WindowEventsTest, AltEnterIsASystemKeyGivingSystemCharacterReturn) {
    WindowHandle w = Create();
    Drain();
    InjectKey(w, VK_MENU, true);
    InjectKey(w, VK_RETURN, true);
    EXPECT_TRUE(IsKeyDown(VK_MENU));
    uint8_t keys[256];
    GetKeyboardSnapshot(keys);
    EXPECT_EQ(keys[VK_RETURN], 0x80);
    EXPECT_EQ(keys['Q'], 0);

    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_SYSKEYDOWN);
    EXPECT_EQ(m.wParam, VK_MENU);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_SYSKEYDOWN);
    EXPECT_EQ(m.wParam, VK_RETURN);
    EXPECT_NE(static_cast<uint32_t>(m.lParam) & (1u << 29), 0u);  // Alt held
    TranslateMessage(&m);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_SYSCHAR);
    EXPECT_EQ(m.wParam, 0x0Du);

    InjectKey(w, VK_RETURN, false);
    InjectKey(w, VK_MENU, false);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_SYSKEYUP, WM_SYSKEYUP}));
    // Without Alt the same key is an ordinary key again.
    InjectKey(w, VK_RETURN, true);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_KEYDOWN}));
}

TEST_F(WindowEventsTest, TextComesAsShiftJisBytes) {
    WindowHandle w = Create();
    Drain();
    InjectText(w, U8(u8"aあ"));
    std::vector<Message> chars = Drain();
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<WParam>('a'));
    EXPECT_EQ(chars[1].wParam, 0x82u);  // lead byte first
    EXPECT_EQ(chars[2].wParam, 0xA0u);
    for (const Message& m : chars) EXPECT_EQ(m.message, WM_CHAR);
}

TEST_F(WindowEventsTest, WheelGivesOneMessageOf120PerNotch) {
    WindowHandle w = Create();
    Drain();
    InjectWheel(w, 2);
    InjectWheel(w, -1);
    std::vector<Message> wheel = Drain();
    ASSERT_EQ(wheel.size(), 3u);
    EXPECT_EQ(SignedHighWord(wheel[0].wParam), 120);
    EXPECT_EQ(SignedHighWord(wheel[1].wParam), 120);
    EXPECT_EQ(SignedHighWord(wheel[2].wParam), -120);
    for (const Message& m : wheel) EXPECT_EQ(m.message, WM_MOUSEWHEEL);
}

TEST_F(WindowEventsTest, DroppedFilesAreReadThroughTheDropHandle) {
    WindowHandle w = Create();
    Drain();
    InjectDroppedFiles(w, {"/tmp/a.txt", U8(u8"/tmp/日本.bmp")});
    Message m{};
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    ASSERT_EQ(m.message, WM_DROPFILES);
    const uintptr_t drop = m.wParam;
    EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    const std::string second = Utf8ToSjis(U8(u8"/tmp/日本.bmp"));
    EXPECT_EQ(DragQueryFile(drop, 1, nullptr, 0), second.size());
    char name[64];
    ASSERT_EQ(DragQueryFile(drop, 1, name, sizeof name), second.size());
    EXPECT_EQ(std::string(name), second);
    EXPECT_EQ(DragQueryFile(drop, 0, name, 4), 3u);  // cut to fit, terminated
    EXPECT_STREQ(name, "/tm");
    EXPECT_EQ(DragQueryFile(drop, 2, name, sizeof name), 0u);
    DragFinish(drop);
    EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0), 0u);
    EXPECT_EQ(LiveDroppedFileLists(), 0u);

    // A drop nobody read is freed with its window.
    InjectDroppedFiles(w, {"/tmp/b"});
    EXPECT_EQ(LiveDroppedFileLists(), 1u);
    DestroyWindow(w);
    EXPECT_EQ(LiveDroppedFileLists(), 0u);
}

TEST_F(WindowEventsTest, MouseMovesCoalesceAndButtonsCarryThePosition) {
    WindowHandle w = Create(0, 100, 200, 320, 240);
    Drain();
    InjectMouseMove(w, 1, 1);
    InjectMouseMove(w, 5, 6);
    InjectMouseButton(w, 0, true);
    std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].lParam, MakeLParam(5, 6));
    EXPECT_EQ(got[1].message, WM_LBUTTONDOWN);
    EXPECT_EQ(got[1].lParam, MakeLParam(5, 6));
    EXPECT_EQ(got[1].wParam & MK_LBUTTON, MK_LBUTTON);
    Point p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 105);
    EXPECT_EQ(p.y, 206);
    InjectMouseButton(w, 0, false);
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_LBUTTONUP}));
}

TEST_F(WindowEventsTest, EventsForStaleWindowsAreDropped) {
    WindowHandle w = Create();
    DestroyWindow(w);
    InjectActivation(w, true);
    InjectClose(w);
    InjectKey(w, 'A', true);
    InjectText(w, "a");
    InjectWheel(w, 1);
    InjectDroppedFiles(w, {"/x"});
    InjectMove(w, 1, 1);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(LiveDroppedFileLists(), 0u);
}

}  // namespace
