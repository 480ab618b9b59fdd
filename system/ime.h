// The input method as the library keeps it: its messages to the window, its enable switch and
// the staged close and re-open after the window comes back. The state lives in the
// character-input block (key_input_state.h).
#pragma once
#include <cstdint>

#include "platform/window/window.h"

// Enables or disables the IME for the library window; nothing when unchanged. Disabling also
// frees the candidate list and clears the composition. Returns 0.
int SetImeEnable(int flag);

// The window procedure's handling of WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION,
// WM_IME_COMPOSITION, WM_IME_SETCONTEXT and WM_IME_NOTIFY; returns the message's result.
// Result strings go into the character queue, each double-byte character whole.
plat::LResult HandleImeMessage(plat::WParam wParam, uint32_t message, plat::LParam lParam,
                               plat::WindowHandle window);

// The window became active again: when the IME is enabled and open, its composition is saved,
// the IME closed and opened again and the composition put back, in stages run by the next
// key-input step.
void RequestImeReopen();
// Runs the staged steps from the current stage to the last; nothing at stage 0.
void RunImeStaging();
