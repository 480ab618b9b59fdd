// The movie side of a graph draw: a graph a movie renders into has its frame brought up to
// date before it is drawn, and a movie shown through an overlay surface is placed on the
// screen instead of being drawn.
#pragma once
#include <cstdint>

struct GraphRecord;

// Before a draw of a graph: when a movie renders into it and the movie exists, its frame is
// brought up to date. With mayOverlay 1 (the at-a-point and stretched draws) a movie shown
// through an overlay is placed at (x, y), enlarged scale times (ShowMovieOverlay), and 1 comes
// back: the draw then answers -1 without drawing. Else 0.
int PrepareMovieGraph(const GraphRecord* graph, int mayOverlay, int32_t scale, int32_t x,
                      int32_t y);
