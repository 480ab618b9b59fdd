// What the graph drawing family hands to modules beside it: the Direct3D road of the graph
// draws, its box fill and the string draw of fonts cached in textures (the texture graph
// draws), and the frame update and overlay placement of a graph a movie renders into. The
// bracket a mask screen puts around every draw is MaskBracketDriver in
// graphics/drivers/graph_companion_drivers.h, since the draw targets' clear and fill take it too.
//
// Each module supplies its driver while it runs. Without one nothing of its kind exists: no
// graph is a texture graph (a draw that would take the Direct3D road is refused) and no graph
// has a movie.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphRecord;

// The Direct3D road of the graph draws: the texture graph's vertices on the current device.
struct GraphDraw3DDriver {
    // The graph unscaled with its top-left at (x, y); intCoords other than 1: x and y carry
    // float bit patterns. 0 or -1.
    int (*blitGraph3D)(int32_t x, int32_t y, const GraphRecord* graph, int32_t transFlag,
                       int32_t intCoords);
    // The graph stretched onto the corners (x1, y1), (x2, y2) as given (reversed ones mirror).
    int (*blitGraphStretched3D)(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                const GraphRecord* graph, int32_t transFlag, int32_t intCoords);
    // The graph scaled and turned about its centre at (x, y); turnFlag mirrors it.
    int (*blitGraphRotated3D)(float x, float y, double scale, double angle,
                              const GraphRecord* graph, int32_t transFlag, int32_t turnFlag);
    // The graph's corners top-left, top-right, bottom-left, bottom-right on the four points.
    int (*blitGraphQuad3D)(float x1, float y1, float x2, float y2, float x3, float y3,
                           float x4, float y4, const GraphRecord* graph, int32_t transFlag);
    // A box of one screen colour under the blend state; 0 or -1.
    int (*fillBox3D)(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
    // A string at (x, y) with a font whose glyphs are cached in a texture, drawn as rectangles
    // of the cache graph within the draw area (a font without a texture cache takes the 2D
    // text path); vertical as the string draws take it. 0 or -1.
    int (*drawString3D)(int32_t x, int32_t y, const char* string, uint32_t colour,
                        HandleValue font, uint32_t edgeColour, int vertical);
};

extern const GraphDraw3DDriver kAbsentGraphDraw3D;
DriverSlot<GraphDraw3DDriver>& GraphDraw3DSlot();

// A movie's facts as the overlay placement reads them.
struct MovieOverlayFacts {
    int32_t width, height;  // the movie's picture in pixels
    int32_t overlay;        // 1: the movie is shown through an overlay surface
};

struct MovieDrawDriver {
    // The movie record exists: its facts into *out and 1; else 0.
    int (*getMovieFacts)(HandleValue movie, MovieOverlayFacts* out);
    // Brings the frame of the movie rendering into the graph up to date.
    void (*updateMovieFrame)(HandleValue graph);
    // Shows the movie's overlay surface with source (in the movie) on dest (on the desktop),
    // or hides it (show 0; the rectangles are null).
    void (*updateOverlay)(HandleValue movie, const RECT* source, const RECT* dest, int show);
};

extern const MovieDrawDriver kAbsentMovieDraw;
DriverSlot<MovieDrawDriver>& MovieDrawSlot();
