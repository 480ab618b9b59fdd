// SDL2's text events as the SDL2 backend hands them to the IME route: editing events become
// the composition messages, text input the result or typed bytes.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/sdl2/sdl2_text_input.h"
#include "platform/core/text_encoding.h"
#include "platform/ime/imm.h"
#include "platform/testing/ime_test_controls.h"
#include "window/window_fixture.h"

namespace {

using namespace plat;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

SDL_Event Editing(const std::string& utf8, int start, int length) {
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    std::snprintf(e.edit.text, sizeof(e.edit.text), "%s", utf8.c_str());
    e.edit.start = start;
    e.edit.length = length;
    return e;
}

SDL_Event TextInput(const std::string& utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof(e.text.text), "%s", utf8.c_str());
    return e;
}

class ImeSdlEventTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ResetImeTestControls();
        window_ = Create(WS_VISIBLE);
        Drain();
    }
    void TearDown() override {
        ResetImeTestControls();
        WindowFixture::TearDown();
    }
    std::string Composition() {
        char buffer[256] = {};
        const int32_t n =
            ImmGetCompositionStringA(ImmGetContext(window_), GCS_COMPSTR, buffer, sizeof(buffer));
        return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    }
    WindowHandle window_ = 0;
};

TEST_F(ImeSdlEventTest, EditingThenInputIsACompositionWithItsResult) {
    ASSERT_TRUE(RouteSdlTextEvent(Editing(U8(u8"にほ"), 2, 0), window_));
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_IME_NOTIFY, WM_IME_STARTCOMPOSITION,
                                                            WM_IME_COMPOSITION}));
    EXPECT_EQ(Composition(), Utf8ToSjis(U8(u8"にほ")));
    EXPECT_EQ(ImmGetCompositionStringA(ImmGetContext(window_), GCS_CURSORPOS, nullptr, 0), 4);

    ASSERT_TRUE(RouteSdlTextEvent(TextInput(U8(u8"日本")), window_));
    EXPECT_EQ(DrainMessageNumbers(),
              (std::vector<uint32_t>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    char result[16] = {};
    ASSERT_EQ(ImmGetCompositionStringA(ImmGetContext(window_), GCS_RESULTSTR, result, 16), 4);
    EXPECT_EQ(std::string(result), Utf8ToSjis(U8(u8"日本")));
}

TEST_F(ImeSdlEventTest, EmptyEditingEndsTheCompositionAndLaterTextIsTyped) {
    RouteSdlTextEvent(Editing("ka", 2, 0), window_);
    Drain();
    RouteSdlTextEvent(Editing("", 0, 0), window_);
    EXPECT_EQ(DrainMessageNumbers(),
              (std::vector<uint32_t>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    RouteSdlTextEvent(TextInput(U8(u8"か")), window_);
    const std::string sjis = Utf8ToSjis(U8(u8"か"));
    std::vector<Message> typed = Drain();
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0].message, WM_CHAR);
    EXPECT_EQ(typed[0].wParam, static_cast<unsigned char>(sjis[0]));  // lead byte first
    EXPECT_EQ(typed[1].wParam, static_cast<unsigned char>(sjis[1]));
}

TEST_F(ImeSdlEventTest, ExtendedEditingTakesLongTextAndFreesIt) {
    std::string longText;
    for (int i = 0; i < 20; ++i) longText += U8(u8"あ");  // 60 UTF-8 bytes: beyond 32
    SDL_Event e{};
    e.type = SDL_TEXTEDITING_EXT;
    e.editExt.text = SDL_strdup(longText.c_str());
    e.editExt.start = 20;
    ASSERT_TRUE(RouteSdlTextEvent(e, window_));  // frees the text (the leak check sees it)
    EXPECT_EQ(Composition(), Utf8ToSjis(longText));
}

TEST_F(ImeSdlEventTest, OtherEventsAreLeftAlone) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    EXPECT_FALSE(RouteSdlTextEvent(e, window_));
    EXPECT_TRUE(Drain().empty());
}

}  // namespace
