// Where a movie's overlay surface goes: the movie's picture enlarged scale times at (x, y) of
// the screen, moved onto the desktop, clipped to the screen's place there, and aligned to what
// the display's overlay hardware accepts.
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"
#include "platform/ddraw/ddraw_types.h"

struct MovieOverlayPlace {
    RECT source;  // in the movie's picture
    RECT dest;    // on the desktop
};

// The place of a movie of movieWidth x movieHeight at (x, y), enlarged scale times, on a
// screen lying at screenOnDesktop. 1 with *out filled; 0 when nothing of it shows (clipped
// away, or nothing left after the alignment) or scale is below 1.
int PlaceMovieOverlay(int32_t scale, int32_t x, int32_t y, int32_t movieWidth,
                      int32_t movieHeight, const RECT& screenOnDesktop, const plat::DDCaps& caps,
                      MovieOverlayPlace* out);
