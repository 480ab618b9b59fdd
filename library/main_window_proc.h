// The library window's procedure: turns window messages into library state (activation, quit,
// close, window-mode requests, typed characters, dropped files, the mouse wheel) and hands
// device messages to the parts that own them.
#pragma once
#include <cstdint>

#include "platform/window/window.h"

plat::LResult MainWindowProc(plat::WindowHandle window, uint32_t message, plat::WParam wParam,
                             plat::LParam lParam);

// The activation change of WM_ACTIVATE and of a deactivating WM_ACTIVATEAPP. wParam is the
// message's (its high word is non-zero while the window is minimised).
void ChangeWindowActivation(plat::WindowHandle window, uint32_t active, plat::WParam wParam);

// WM_DROPFILES: stores the dropped names (at most 1000 in all) and finishes the drop.
void StoreDroppedFiles(uintptr_t drop);
