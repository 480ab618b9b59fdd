// Window mode and title: the settings the game makes before start-up for the window that
// start-up creates, switching the live window between windowed and full screen, and the
// title of the live window.
#pragma once
#include <cstdint>

// The longest wait of ChangeWindowMode for the display change, in milliseconds.
constexpr uint32_t kDisplayChangeWaitMs = 2000;

// 1 windowed, 0 full screen. Logs the call; the current value changes nothing (0). Before the
// window exists only the setting changes (and the style counts as applied): 0. With a window
// the window takes the style, size and place of the new mode, the screen mode is changed
// again for it, and the display change that follows is waited for (ended early when the pump
// reports quit, and after at most kDisplayChangeWaitMs). The screen-mode change's result: 0,
// -1 when no screen surface could be made, -2 when the mode fell back to 640 x 480 x 16.
int ChangeWindowMode(int windowed);
// Stores the windowed flag and logs the new value. 0.
int SetWindowedFlag(int windowed);
// Copies the Shift-JIS text into the title setting (at most 255 bytes, never ending on the
// first byte of a double-byte character; null reads as empty) and, when the window exists,
// sets its text. 0.
int SetWindowTitle(const char* text);
