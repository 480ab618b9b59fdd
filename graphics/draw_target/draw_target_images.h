// The software images a draw goes to and reads from, for the software draws of graphs (the
// unscaled, stretched and rotated graph draws, triangles and quads, fills and clears):
// whether software drawing is possible and the screen is drawn in software (from the screen
// module), which image a draw goes to on a software screen (a graph target's own software
// image, the screen module's image for the front and back screens, the mask module's image
// while mask drawing is active), the blend graph's image, the software image of a graph's 2D
// surface, and on a screen in DirectDraw surfaces the software images prepared for one draw
// (BeginSoftDrawForKernel of the draw target, never the BltFast case).
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

struct GraphRecord;
struct Surface2DRecord;

// The software image of a graph's 2D surface as the graph-level draws read it.
struct SoftSurfaceImage {
    // The surface data's image when the 2D surface covers the whole of it, else a view of the
    // surface's rectangle made in the caller's storage (kept for one draw). Null when that
    // rectangle does not lie inside the surface data's image.
    const MEMIMG* image;
    // The 2D surface the image belongs to: what the DirectDraw road prepares its source from.
    HandleValue surface2D;
    // The source size: the graph's own size for its own surface, else the given surface's.
    int32_t width, height;
};

// The software images that stand for a DirectDraw draw target and source during one draw.
struct SoftDrawPlace {
    MEMIMG* destination;
    const MEMIMG* source;  // null for a draw without a source
};

// 1 when the library runs in software-only mode or has a DirectDraw object; the graph-level
// software draws refuse every draw otherwise.
int IsSoftDrawAvailable();

// 1 on the software-screen road: the screen is drawn in software (the software-screen flag is
// set and the display depth is not 8). Otherwise draws take the DirectDraw road.
int IsSoftwareScreenRoad();

// The current draw target's software image on a software screen (the back screen, the front
// screen or a graph), or null when it has none. A draw to the front starts, after a present,
// from the picture the window shows.
MEMIMG* GetDrawTargetSoftImage();

// The destination of a draw on the software-screen road: the mask screen's image while the
// draw state's mask is active, else the current draw target's software image. Null when the
// module that owns that image has none.
MEMIMG* GetSoftScreenDestination();

// The blend graph's image (the one inside its surface data), or null when no blend graph is
// set, its handle is invalid, it is held as Direct3D textures, its 2D surface or surface data
// cannot be found, or the image has no pixels. A blend graph whose pixels lie in a DirectDraw
// surface (a graph without an alpha channel on a screen in DirectDraw surfaces) has none: the
// software draws go on without it, and the log says so when draws first meet it.
const MEMIMG* GetBlendGraphMemImg();

// A graph's software image: its surface data's image when the graph's 2D surface covers the
// whole of it, else a view of the 2D surface's rectangle made in *view (caller's storage, kept
// for one draw). *surface2D receives the 2D surface record when asked. Null when the graph's
// 2D surface or its surface data cannot be found, or the rectangle does not lie inside the
// surface data's image.
const MEMIMG* GetGraphSoftImage(const GraphRecord* graph, MEMIMG* view,
                                const Surface2DRecord** surface2D);

// The software image of the graph's own 2D surface (surface2D -1) or of the given 2D surface,
// into *out, a view being made in *view. 0, or -1 when the graph is null or the 2D surface or
// its surface data cannot be found.
int GetGraphSurfaceSoftImage(const GraphRecord* graph, HandleValue surface2D, MEMIMG* view,
                             SoftSurfaceImage* out);

// Begins software drawing on a screen in DirectDraw surfaces: flushes the Direct3D batch (and
// ends the Direct3D scene once the screen has been opened), prepares the software draw target
// for destRect and the 2D surface's image for sourceRect (no source when surface2D is -1).
// 0 with *place filled, to be closed by EndSoftDraw; or -1 when the draw cannot be made that
// way, with nothing left to end.
int BeginDirectDrawSoftDraw(HandleValue surface2D, const RECT* sourceRect, const RECT* destRect,
                            SoftDrawPlace* place);
