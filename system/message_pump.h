// The message pump: drains the library window's messages, holds the main thread while the
// window is inactive, and runs the services that the library runs without threads of their
// own (pump_services.h). It always runs under the library lock.
#pragma once

// 0, or -1 once the quit flag is set. The main thread stays inside while the window is
// inactive (and neither closing nor being redrawn), until activation or quit; any other
// thread makes one pass.
int ProcessMessage();

// A pump as the game makes it at the start of each main-loop step (ApiProcessMessage, and the
// pumps of WaitForInputPress): ProcessMessage under the library lock for its own length only,
// counted as a step of a scripted run (ZN_INPUT). The library's own pumps (start-up, input
// reads, the pump thread) call ProcessMessage directly and so are not counted.
int GameStepProcessMessage();

// Holds the caller while the window is inactive: pumps until the window is active again or
// quit, then restores lost graph surfaces. Returns at once while active or painting.
void WaitWhileInactive();

// Waits, without holding the library lock, for a key, pad or mouse button to be pressed: a
// key held at entry must be let go first. Returns the input code of CheckAnyInput, or 0 once
// the pump reports that the library is to end.
int WaitForInputPress();

// The library's message-pump thread: every 17 ms, under the library lock, one
// ProcessMessage, until quit.
void ProcessMessageThread(void* parameter);
