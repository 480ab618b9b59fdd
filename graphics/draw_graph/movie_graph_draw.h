// The movie side of a graph draw: a graph a movie renders into has its frame brought up to
// date before it is drawn, and a movie shown through an overlay surface is placed on the
// screen instead of being drawn. The overlay's place is the movie's picture enlarged scale
// times at (x, y) of the screen, moved onto the desktop, clipped to the screen's place there,
// and aligned to what the display's overlay hardware accepts.
#pragma once
#include <cstdint>

#include "platform/ddraw/ddraw_types.h"
#include "softrender/records/rect.h"

struct GraphRecord;

// Before a draw of a graph: when a movie renders into it and the movie exists, its frame is
// brought up to date. With mayOverlay 1 (the at-a-point and stretched draws) a movie shown
// through an overlay is placed at (x, y), enlarged scale times (ShowMovieOverlay), and 1 comes
// back: the draw then answers -1 without drawing. Else 0.
int PrepareMovieGraph(const GraphRecord* graph, int mayOverlay, int32_t scale, int32_t x,
                      int32_t y);

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
