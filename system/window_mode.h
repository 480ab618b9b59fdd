// Window mode and title: the settings the game makes before start-up for the window that
// start-up creates, and the title of the live window afterwards.
#pragma once
#include <cstdint>

// 1 windowed, 0 full screen. Logs the call; the current value changes nothing (0). Before the
// window exists the setting is stored (and the style counts as applied): 0. With a window the
// mode of the live window cannot be switched yet: -1 after a log line, nothing changed.
int ChangeWindowMode(int windowed);
// Stores the windowed flag and logs the new value. 0.
int SetWindowedFlag(int windowed);
// Copies the Shift-JIS text into the title setting (at most 255 bytes, never ending on the
// first byte of a double-byte character; null reads as empty) and, when the window exists,
// sets its text. 0.
int SetWindowTitle(const char* text);
