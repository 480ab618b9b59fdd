// The IME's window messages on a headless window: a composition from start to result leaves
// its text in the string input, the candidate list and open status follow the IME, and the
// re-open staging puts a running composition back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/sjis_string.h"
#include "platform/core/clock.h"
#include "platform/core/text_encoding.h"
#include "platform/core/thread.h"
#include "platform/ime/imm.h"
#include "platform/testing/ime_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "platform/window/window.h"
#include "system/ime.h"
#include "system/input_char_queue.h"
#include "system/key_input.h"
#include "system/window_data.h"

namespace {

using namespace plat;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The library window's handling of typed characters and IME messages, and nothing else.
LResult ImeTestProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_CHAR:
            QueueTypedChar(static_cast<uint8_t>(wParam));
            return 0;
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_SETCONTEXT:
        case WM_IME_NOTIFY:
            return HandleImeMessage(wParam, message, lParam, window);
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

class KeyInputImeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowTestControls();
        ResetImeTestControls();
        UseVirtualClock(true);
        WindowClass c{0, &ImeTestProc, 0, 0, 0, "ZnImeSystemTest"};
        ASSERT_NE(RegisterWindowClass(c), 0);
        window_ = CreateWindow("ZnImeSystemTest", "ime", WS_VISIBLE, 0, 0, 0, 64, 64, nullptr);
        ASSERT_NE(window_, 0u);
        WindowData& data = GetWindowData();
        data.inputChars = InputCharQueue{};
        data.window = WindowState{};
        data.window.handle = window_;
        data.window.active = 1;
        data.window.mainThreadId = CurrentThreadId();
        SetCharSet(1);
        InitCharInput();
        SetImeEnable(1);  // a string input that takes any text is about
        Pump();
    }
    void TearDown() override {
        DeleteAllKeyInputHandles();
        InitCharInput();  // frees the candidate list
        GetWindowData().window = WindowState{};
        GetWindowData().inputChars = InputCharQueue{};
        ResetImeTestControls();
        ResetWindowTestControls();
        ResetTestControls();
    }
    static void Pump() {
        Message m{};
        while (PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
    }
    static std::string Sjis(const char8_t* text) { return Utf8ToSjis(U8(text)); }

    WindowHandle window_ = 0;
};

TEST_F(KeyInputImeTest, ACompositionFromStartToResultEndsInTheStringInput) {
    const HandleValue h = CreateKeyInputHandle(32, 0, 0, 0);
    ASSERT_EQ(SetActiveKeyInputHandle(h), 0);
    InjectCommittedText(window_, "a");  // typed before the composition
    CharInputState& state = GetCharInputState();

    InjectComposition(window_, U8(u8"かんじ"), 2);
    Pump();
    EXPECT_EQ(state.composing, 1u);
    EXPECT_STREQ(state.composition, Sjis(u8"かんじ").c_str());
    EXPECT_EQ(state.compositionCursor, 2);  // characters, from 4 bytes
    EXPECT_EQ(state.clauseCount, 2);         // one clause: its start and the end
    EXPECT_EQ(state.imeMessageSeen, 1u);

    InjectComposition(window_, U8(u8"漢字"), 1, 1);
    Pump();
    EXPECT_STREQ(state.composition, Sjis(u8"漢字").c_str());
    EXPECT_EQ(state.compositionCursor, 1);
    EXPECT_EQ(state.clauseCount, 3);

    InjectCommittedText(window_, U8(u8"漢字"));
    Pump();
    EXPECT_EQ(state.composing, 0u);
    EXPECT_STREQ(state.composition, "");

    ASSERT_EQ(ProcessKeyInput(), 0);
    const KeyInputRecord* record = FindKeyInputRecord(h);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::string(record->text), std::string("a").append(Sjis(u8"漢字")));
    EXPECT_EQ(record->cursor, 5);
    EXPECT_EQ(record->length, 5);
}

TEST_F(KeyInputImeTest, ALongCompositionIsCutAtACharacterAndTerminated) {
    std::string longText;
    for (int i = 0; i < 600; ++i) longText += U8(u8"あ");  // 1200 Shift-JIS bytes
    InjectComposition(window_, longText, 600);
    Pump();
    const CharInputState& state = GetCharInputState();
    EXPECT_EQ(std::strlen(state.composition), 1022u);
    EXPECT_EQ(state.compositionCursor, 511);
}

TEST_F(KeyInputImeTest, CandidateListFollowsTheIme) {
    CharInputState& state = GetCharInputState();
    InjectCandidates(window_, {U8(u8"漢字"), U8(u8"感じ")}, 0);
    Pump();
    ASSERT_NE(state.candidates, nullptr);
    EXPECT_EQ(state.candidates->count, 2u);
    const char* base = reinterpret_cast<const char*>(state.candidates);
    EXPECT_STREQ(base + state.candidates->offset[1], Sjis(u8"感じ").c_str());

    InjectCandidates(window_, {}, 0);
    Pump();
    EXPECT_EQ(state.candidates, nullptr);

    // Disabling the IME drops the list and the composition.
    InjectCandidates(window_, {"x"}, 0);
    InjectComposition(window_, "y", 1);
    Pump();
    ASSERT_EQ(SetImeEnable(0), 0);
    EXPECT_FALSE(TestImeEnabled());
    EXPECT_EQ(state.candidates, nullptr);
    EXPECT_STREQ(state.composition, "");
    EXPECT_EQ(state.composing, 0u);
}

TEST_F(KeyInputImeTest, OpenStatusIsReadAfterTheWindowPumped) {
    ASSERT_TRUE(ImmSetOpenStatus(ImmGetContext(window_), true));
    Pump();
    EXPECT_EQ(GetCharInputState().imeOpen, 1u);
    ASSERT_TRUE(ImmSetOpenStatus(ImmGetContext(window_), false));
    Pump();
    EXPECT_EQ(GetCharInputState().imeOpen, 0u);
}

TEST_F(KeyInputImeTest, ReopenStagingPutsTheCompositionBack) {
    CharInputState& state = GetCharInputState();
    InjectComposition(window_, U8(u8"さい"), 2);
    Pump();
    ASSERT_EQ(state.imeOpen, 1u);

    RequestImeReopen();
    EXPECT_EQ(state.imeStage, 1u);
    ASSERT_EQ(ProcessKeyInput(), 0);  // the staging runs in the key-input step
    EXPECT_EQ(state.imeStage, 0u);
    EXPECT_STREQ(state.savedComposition, Sjis(u8"さい").c_str());
    Pump();
    EXPECT_EQ(state.composing, 1u);
    EXPECT_STREQ(state.composition, Sjis(u8"さい").c_str());
    EXPECT_EQ(state.imeOpen, 1u);

    // A closed IME is not re-opened.
    ImmSetOpenStatus(ImmGetContext(window_), false);
    Pump();
    RequestImeReopen();
    EXPECT_EQ(state.imeStage, 0u);
}

}  // namespace
