// What the graph-level software draws (triangles and quads of graphs, and the other graph
// entries of the software renderer) read of the graphics subsystem: whether software drawing
// is possible at all, whether the screen is drawn in software, the image a draw goes to on a
// software screen, the blend graph's image and a graph's own software image.
//
// The screen and the mask screens own the images that software draws go to. They make them
// known through SoftDrawTargetHooks when they start; while a hook is missing there is no such
// image and the graph-level entries refuse the draw (-1) instead of drawing somewhere else.
#pragma once
#include <cstdint>

#include "graphics/graph_handle_table.h"
#include "graphics/memimg.h"
#include "graphics/surface_2d.h"

struct SoftDrawTargetHooks {
    // The current draw target's software image on a software screen (the back screen, the
    // front screen or a graph), or null when it has none.
    MEMIMG* (*drawTargetImage)();
    // The mask screen's image, drawn into while mask drawing is active, or null.
    MEMIMG* (*maskImage)();
};

SoftDrawTargetHooks& GetSoftDrawTargetHooks();
// Clears both hooks (tests; a module that goes away).
void ResetSoftDrawTargetHooks();

// 1 when the library runs in software-only mode or has a DirectDraw object; the graph-level
// software entries refuse every draw otherwise.
int IsSoftDrawAvailable();

// 1 on the software-screen road: the screen is drawn in software (the software-screen flag is
// set and the display depth is not 8). Otherwise draws take the DirectDraw road.
int IsSoftwareScreenRoad();

// The destination of a draw on the software-screen road: the mask screen's image while the
// draw state's mask is active, else the current draw target's software image. Null when the
// module that owns that image has not made it known.
MEMIMG* GetSoftScreenDestination();

// The blend graph's image (the one inside its surface data), or null when no blend graph is
// set, its handle is invalid, it is held as Direct3D textures, its 2D surface or surface data
// cannot be found, or the image has no pixels.
const MEMIMG* GetBlendGraphMemImg();

// A graph's software image: its surface data's image when the graph's 2D surface covers the
// whole of it, else a view of the 2D surface's rectangle made in *view (caller's storage, kept
// for one draw). *surface2D receives the 2D surface record when asked. Null when the graph's
// 2D surface or its surface data cannot be found, or the rectangle does not lie inside the
// surface data's image.
const MEMIMG* GetGraphSoftImage(const GraphRecord* graph, MEMIMG* view,
                                const Surface2DRecord** surface2D);
