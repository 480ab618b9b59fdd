// Test controls of the display (platform/display/display.h) and of the DirectDraw screen side:
// the picture shown, the refresh rate, another exclusive owner, and refused object creation.
// Only tests use them.
#pragma once
#include <cstdint>

#include "platform/display/display.h"
#include "platform/window/window.h"

namespace plat {

// Back to the desktop's mode (the framebuffer made anew, black), no other exclusive owner, the
// refresh rate from the backend again, no pending creation failures, no display window chosen.
// Live DirectDraw objects and surfaces are left alone.
void ResetDisplayTestControls();

// The picture shown now (display.h's ReadShownPicture): width, height and 0x00RRGGBB pixels,
// top-down. window 0: the display window (full screen: the whole mode). False when nothing is
// shown.
bool GetShownPicture(ShownPicture* out, WindowHandle window = 0);

// What a desktop-sized full-screen output shows in a full-screen mode: a picture of the
// desktop's size with the mode's picture scaled to fit (nearest pixel), its aspect kept and
// centred, black around it, as the SDL2 backend shows it. False outside a full-screen mode.
bool GetDesktopPicture(ShownPicture* out);

// The refresh rate the display runs at (0: the backend's again, else 60 Hz). The raster and
// the offered rates follow it.
void SetDisplayRefreshRateForTests(uint32_t hz);

// Another program takes (true) or gives back (false) the display exclusively: while it holds
// it, every primary surface is lost, Restore of one fails with DDERR_NOEXCLUSIVEMODE, the
// exclusive level gives DDERR_EXCLUSIVEMODEALREADYSET and mode changes are refused. Taking it
// also puts the desktop's mode back (as a mode change does).
void SetOtherExclusiveOwner(bool active);

// The next count CoCreateDirectDraw calls fail (DDERR_GENERIC), and the next count Initialize
// calls fail (DDERR_GENERIC).
void FailNextDirectDrawCreates(int count);
void FailNextDirectDrawInitializes(int count);

}  // namespace plat
