// The on-screen console: 80 lines of text drawn over the screen at present time, in white with
// a black edge, with a 16-pixel edged font of its own. Start-up creates it hidden and empty;
// while shown, every present draws it (through the screen overlay driver it installs).
#pragma once
#include <cstdint>

constexpr int32_t kConsoleLines = 80;
constexpr int32_t kConsoleLineBytes = 255;

struct ScreenConsoleState {
    uint32_t active;      // 1 once created
    uint32_t shown;       // 1 while drawn at present
    int32_t fontSize;     // 16
    int32_t fontHandle;   // -1 none
    int32_t fontMissing;  // 1: the font must be (re)made; the font's delete flag points here
    int32_t cursorX, cursorY;
    int32_t layout[2];    // 0 and 4 at creation
    char text[kConsoleLines][kConsoleLineBytes];
};

ScreenConsoleState& GetScreenConsoleState();

// 0, or -1 when there is no screen or no window.
int CreateScreenConsole();
// Creates the console when needed, and its font when it is missing. 0.
int EnsureConsoleFont();
// Draws the lines that fit the screen height on the current draw target. 0.
int DrawScreenConsole();
int IsScreenConsoleShown();
int SetScreenConsoleShown(int shown);
// Puts text (cut to the line's size) into a line; -1 for a line outside 0..79 or null text.
int SetScreenConsoleLine(int32_t line, const char* text);

// Start-up's step: the overlay driver installed and the console created (its failure leaves
// the console inactive). 0.
int StartScreenConsole();
// Shut-down's step: the console's font deleted, the console inactive, the driver removed. 0.
int EndScreenConsole();
