// The on-screen console.
#include "system/screen_console.h"

#include <cstdio>
#include <cstring>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/screen_overlay_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/screen/screen.h"
#include "system/window_data.h"

namespace {

constexpr int32_t kConsoleFontSize = 16;

// The console over the whole screen: draw area, blend and bright set for it and put back.
int DrawConsoleOverScreen() {
    if (!IsScreenConsoleShown()) return 0;
    DrawState& draw = GetDrawState();
    const RECT area = draw.drawArea;
    const float areaF[4] = {draw.drawAreaF[0], draw.drawAreaF[1], draw.drawAreaF[2],
                            draw.drawAreaF[3]};
    const int32_t empty = draw.drawAreaEmpty;
    const int32_t mode = draw.blendMode, param = draw.blendParam;
    const uint32_t bright = draw.bright;
    int32_t width = 0, height = 0;
    GetScreenSize(&width, &height);
    draw.drawArea = RECT{0, 0, width, height};
    draw.drawAreaEmpty = 0;
    SetBlendState(kBlendNone, 0);
    SetBrightPacked(kBrightWhite);
    DrawScreenConsole();
    draw.drawArea = area;
    std::memcpy(draw.drawAreaF, areaF, sizeof areaF);
    draw.drawAreaEmpty = empty;
    SetBlendState(mode, param);
    SetBrightPacked(bright);
    return 0;
}

const ScreenOverlayDriver kConsoleOverlay = {.drawIfShown = DrawConsoleOverScreen};

}  // namespace

ScreenConsoleState& GetScreenConsoleState() {
    static ScreenConsoleState state = [] {
        ScreenConsoleState s{};
        s.fontHandle = -1;
        return s;
    }();
    return state;
}

int CreateScreenConsole() {
    if (!TargetScreenUp() || GetWindowData().window.handle == 0) return -1;
    ScreenConsoleState& c = GetScreenConsoleState();
    if (c.active) return 0;
    c.active = 1;
    c.fontSize = kConsoleFontSize;
    c.fontHandle = -1;
    c.fontMissing = 1;
    EnsureConsoleFont();
    c.shown = 0;
    c.layout[0] = 0;
    c.layout[1] = 4;
    c.cursorX = c.cursorY = 0;
    std::memset(c.text, 0, sizeof c.text);
    return 0;
}

int EnsureConsoleFont() {
    ScreenConsoleState& c = GetScreenConsoleState();
    if (!c.active && CreateScreenConsole() != 0) return 0;
    if (c.fontMissing != 1) return 0;
    c.fontHandle = CreateFontToHandle(nullptr, c.fontSize, 4, static_cast<int32_t>(kFontTypeEdge),
                                      -1, -1, 0, -1, -1);
    if (c.fontHandle < 0) return 0;  // tried again at the next draw
    c.fontMissing = 0;
    SetFontDeleteFlagPtr(c.fontHandle, &c.fontMissing);
    return 0;
}

int DrawScreenConsole() {
    EnsureConsoleFont();
    ScreenConsoleState& c = GetScreenConsoleState();
    if (!c.active || c.fontMissing) return 0;
    int32_t height = 0;
    GetScreenSize(nullptr, &height);
    int32_t lines = height / c.fontSize;
    if (lines > kConsoleLines) lines = kConsoleLines;
    const uint32_t white = MakeScreenColor(255, 255, 255);
    const uint32_t black = MakeScreenColor(0, 0, 0);
    for (int32_t i = 0; i < lines; ++i) {
        DrawTextWithFont(0, c.fontSize * i, c.text[i], white, c.fontHandle, black, 0);
    }
    return 0;
}

int IsScreenConsoleShown() { return static_cast<int>(GetScreenConsoleState().shown); }

int SetScreenConsoleShown(int shown) {
    GetScreenConsoleState().shown = shown != 0 ? 1 : 0;
    return 0;
}

int SetScreenConsoleLine(int32_t line, const char* text) {
    if (line < 0 || line >= kConsoleLines || text == nullptr) return -1;
    std::snprintf(GetScreenConsoleState().text[line], kConsoleLineBytes, "%s", text);
    return 0;
}

int StartScreenConsole() {
    ScreenOverlaySlot().Install(kConsoleOverlay);
    CreateScreenConsole();
    return 0;
}

int EndScreenConsole() {
    ScreenConsoleState& c = GetScreenConsoleState();
    if (c.active) {
        if (!c.fontMissing) {
            // Our own deletion: the flag need not tell us of it.
            SetFontDeleteFlagPtr(c.fontHandle, nullptr);
            DestroyFont(c.fontHandle);
        }
        c.fontMissing = 1;
        c.fontHandle = -1;
        c.active = 0;
        c.shown = 0;
    }
    ScreenOverlaySlot().Reset();
    return 0;
}
