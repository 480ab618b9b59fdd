// Desktop events injected into the window layer through the same route the SDL2 backend
// uses: the headless backend's way in for events that no display delivers. Scripted runs
// (ZN_INPUT) press keys and close the window through it; tests use it for every event.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/window.h"

namespace plat {

// ---- desktop events, delivered as the SDL2 backend delivers them -------------------------
// Focus gained or lost: WM_ACTIVATEAPP and WM_ACTIVATE (high word: minimised) are posted,
// only when the state changes.
void InjectActivation(WindowHandle window, bool active);
// Minimised: WM_SIZE (SIZE_MINIMIZED) and, when active, the deactivation with the minimised
// flag. Restored: WM_SIZE (SIZE_RESTORED).
void InjectMinimized(WindowHandle window, bool minimized);
// The user moved or sized the window: WM_MOVE / WM_SIZE when it really changed.
void InjectMove(WindowHandle window, int32_t x, int32_t y);
void InjectResize(WindowHandle window, int32_t width, int32_t height);
// Part of the window was uncovered: it needs painting.
void InjectExpose(WindowHandle window);
// The close button: WM_CLOSE is posted.
void InjectClose(WindowHandle window);
// An interrupt (SIGINT): WM_CLOSE is posted to every window.
void InjectQuitSignal();
// A key went down or up: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt
// (VK_MENU) is held and for Alt and F10 themselves.
void InjectKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat = false);
// Text typed (UTF-8): one WM_CHAR per Shift-JIS byte.
void InjectText(WindowHandle window, const std::string& utf8);
// Wheel notches (positive away from the user): one WM_MOUSEWHEEL of +-120 per notch.
void InjectWheel(WindowHandle window, int notches);
// Files dropped on the window (UTF-8 paths): one WM_DROPFILES with a drop handle.
void InjectDroppedFiles(WindowHandle window, const std::vector<std::string>& utf8Paths);
// The mouse over the window (client coordinates) and its buttons (0 left, 1 right, 2 middle).
void InjectMouseMove(WindowHandle window, int32_t x, int32_t y);
void InjectMouseButton(WindowHandle window, int button, bool down);

}  // namespace plat
