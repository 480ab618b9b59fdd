// The graph drawing family: the operations that put a graph on the current draw target at a
// point, stretched onto a rectangle, scaled and turned about its centre, onto four free
// corners, mirrored, and a part of a graph plain or stretched.
//
// Each of the four core draws (at a point, stretched, rotated, four corners) returns 0 at once
// when the draw area is empty, refuses a bad graph handle (-1, no log line) and a blend graph
// that is missing or smaller than the graph (-1), waits while the window is inactive, brings a
// movie graph's frame up to date, brackets the draw for the mask screen and for the window
// repaint of a software screen's front, and hands the graph record to one back end: the
// Direct3D road for a texture graph, else the 2D road (the unscaled draw of the draw target,
// or the software renderer's scaled, rotated and quad draws, which work on a software screen
// and, between BeginSoftDraw and EndSoftDraw, on DirectDraw surfaces). Results are 0 when
// nothing was to be drawn or the draw succeeded, -1 on failure, or the back end's own result.
//
// transFlag 1 leaves the graph's transparent colour out; turnFlag 1 mirrors left to right.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphRecord;

// The graph unscaled with its top-left at (x, y).
int BlitGraphAt(int32_t x, int32_t y, HandleValue graph, int32_t transFlag);

// The graph stretched so that its top-left lands on (x1, y1) and its bottom-right on (x2, y2)
// (right and bottom exclusive); x1 > x2 or y1 > y2 mirrors it along that axis.
int BlitGraphStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2, HandleValue graph,
                       int32_t transFlag);
// Its 2D road alone: the graph's own 2D surface stretched in software onto the draw target,
// without the family's checks and brackets and whatever the graph's back end (start-up's
// first clears take it).
int BlitGraphStretched2D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const GraphRecord* graph,
                         int32_t transFlag);

// The graph scaled by scale and turned by angle (radians) about its centre, which lands on
// (x, y).
int BlitGraphRotated(float x, float y, double scale, double angle, HandleValue graph,
                     int32_t transFlag, int32_t turnFlag);
// The same from integer coordinates (the public entry's form): x and y become floats.
int BlitGraphRotatedInt(int32_t x, int32_t y, double scale, double angle, HandleValue graph,
                        int32_t transFlag, int32_t turnFlag);

// The graph's corners top-left, top-right, bottom-right, bottom-left on the four points in
// that order (clockwise).
int BlitGraphQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                  HandleValue graph, int32_t transFlag);

// The graph mirrored left to right with its box's top-left at (x, y):
// BlitGraphStretched(x + width, y, x, y + height).
int BlitGraphTurned(int32_t x, int32_t y, HandleValue graph, int32_t transFlag);

// The width x height part of the graph that starts at (srcX, srcY), with its top-left at
// (x, y); turnFlag mirrors the whole graph, so that the part shows mirrored in its own place.
// The draw area is narrowed to the part's place for the one draw and always put back; a part
// outside the draw area draws nothing and answers 0.
int BlitGraphRect(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t width,
                  int32_t height, HandleValue graph, int32_t transFlag, int32_t turnFlag);

// The srcW x srcH part of the graph at (srcX, srcY) stretched onto (x1, y1)-(x2, y2); reversed
// corners mirror. A source size of 0 or below is refused (-1, nothing drawn).
int BlitGraphRectStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t srcX,
                           int32_t srcY, int32_t srcW, int32_t srcH, HandleValue graph,
                           int32_t transFlag);

// The Direct3D emulation of subtract blending around an additive draw: each inverts the
// destination inside rect (a white box at subtract 255); Begin leaves the blend state at the
// device's add-by-alpha mode (kBlendAddByAlpha3D), End at subtract, both with the parameter
// they found. The bright comes back as it was. 0.
int BeginSubtractEmulation(const RECT* rect);
int EndSubtractEmulation(const RECT* rect);

// Places (show 1) or hides (show 0) a movie's overlay surface at (x, y) of the screen, its
// picture enlarged scale times. 0.
int ShowMovieOverlay(int32_t scale, int32_t x, int32_t y, HandleValue movie, int32_t show);
