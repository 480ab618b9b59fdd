// A message box drawn by the platform itself in a small SDL window, with the platform's own
// fonts. SDL's own box on X11 draws with the X server's core fonts, which seldom cover
// Japanese, so the library's Shift-JIS texts would show as garbage there.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

namespace plat {

struct DrawnMessageBoxButton {
    int id;             // the answer the button gives
    const char* label;  // Shift-JIS
    bool returnKey;     // Return presses it (and it has the focus at first)
    bool escapeKey;     // Escape (or closing the box) presses it
};

// Shows the box and waits for a button. True with *pressed set to the button's id, or -1 when
// the box was closed and no button answers Escape; false when the box could not be made (no
// font, no window), for the caller to fall back to another box.
bool ShowDrawnMessageBox(const char* text, const char* title,
                         const std::vector<DrawnMessageBoxButton>& buttons, int* pressed);

// The picture of the box as it would be shown with the given button focused (tests):
// width × height pixels of 0x00RRGGBB, or empty when no font could be made.
std::vector<uint32_t> DrawMessageBoxPicture(const char* text,
                                            const std::vector<DrawnMessageBoxButton>& buttons,
                                            int focus, int* width, int* height);

}  // namespace plat
