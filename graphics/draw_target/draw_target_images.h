// Graph management's answers to the software renderer (SoftDrawTargetDriver): whether software
// drawing is possible and the screen is drawn in software (from the screen module), which image
// a software draw goes to (a graph target's own software image, the screen module's image for
// the front and back screens, the mask module's image while mask drawing is active), the blend
// graph's image, a graph's size and the software image of its 2D surface, and on a screen in
// DirectDraw surfaces the begin and end of software drawing (BeginSoftDraw / EndSoftDraw of
// the draw target, never the BltFast case), the unscaled draw a stretched draw of a graph's
// own size becomes, and the repaint of a draw to the front of a software screen.
#pragma once
#include <cstdint>

#include "softrender/records/memimg.h"
#include "graphics/draw_graph/soft_road/soft_draw_target.h"

struct GraphRecord;
struct Surface2DRecord;

extern const SoftDrawTargetDriver kGraphicsDrawTargetImages;

// 1 when the library runs in software-only mode or has a DirectDraw object.
int IsSoftDrawAvailable();

// 1 on the software-screen road: the screen is drawn in software (the software-screen flag is
// set and the display depth is not 8). Otherwise draws take the DirectDraw road.
int IsSoftwareScreenRoad();

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
