// What the graph-level software draws (the stretched and rotated graph draws, triangles and
// quads of graphs) ask of graph management: whether software drawing is possible at all,
// whether the screen is drawn in software, the image a draw goes to on a software screen, the
// blend graph's image, a graph's size and the software image of its 2D surface, and, on a
// screen in DirectDraw surfaces, the software images prepared for one draw.
//
// All of it reaches these draws through the SoftDrawTargetDriver, which graph management
// installs while it runs (the tests put stand-ins for its images and its DirectDraw road there). Without it software drawing is not available: the
// graph-level entries refuse the draw (-1) instead of drawing somewhere else.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

struct GraphRecord;

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

struct SoftDrawTargetDriver {
    // 1 when the library runs in software-only mode or has a DirectDraw object; the
    // graph-level software entries refuse every draw otherwise.
    int (*isSoftDrawAvailable)();
    // 1 on the software-screen road: the screen is drawn in software (the software-screen flag
    // is set and the display depth is not 8). Otherwise draws take the DirectDraw road.
    int (*isSoftwareScreenRoad)();
    // The current draw target's software image on a software screen (the back screen, the
    // front screen or a graph), or null when it has none.
    MEMIMG* (*drawTargetImage)();
    // The mask screen's image, drawn into while mask drawing is active, or null.
    MEMIMG* (*maskImage)();
    // The blend graph's image (the one inside its surface data), or null when no blend graph
    // is set, its handle is invalid, it is held as Direct3D textures, its 2D surface or
    // surface data cannot be found, or the image has no pixels.
    const MEMIMG* (*blendGraphImage)();
    // The graph's width and height.
    void (*graphSize)(const GraphRecord* graph, int32_t* width, int32_t* height);
    // The software image of the graph's own 2D surface (surface2D -1) or of the given 2D
    // surface, into *out, a view being made in *view. 0, or -1 when the graph is null or the
    // 2D surface or its surface data cannot be found.
    int (*surfaceImage)(const GraphRecord* graph, HandleValue surface2D, MEMIMG* view,
                        SoftSurfaceImage* out);
    // Begins software drawing on a screen in DirectDraw surfaces: flushes the Direct3D batch
    // (and ends the Direct3D scene once the screen has been opened) and prepares the software
    // draw target for destRect and the 2D surface's image for sourceRect (no source when
    // surface2D is -1). 0 with *place filled, or -1 when the draw cannot be made that way.
    int (*beginDirectDrawSoftDraw)(HandleValue surface2D, const RECT* sourceRect,
                                   const RECT* destRect, SoftDrawPlace* place);
    // Ends the software drawing a successful beginDirectDrawSoftDraw began.
    void (*endDirectDrawSoftDraw)();
    // Draws the 2D surface unscaled at (x, y) on a screen in DirectDraw surfaces (one
    // BltFast when nothing modulates it). 0 (also when clipped away), or -1.
    int (*blitUnscaledOnDirectDraw)(int32_t x, int32_t y, HandleValue surface2D,
                                    int32_t transFlag);
    // After a draw on the software-screen road into box (target coordinates, right and bottom
    // exclusive): a draw to the front screen is shown in the window at once.
    void (*softScreenDrawn)(const RECT* box);
};

extern const SoftDrawTargetDriver kAbsentSoftDrawTarget;
DriverSlot<SoftDrawTargetDriver>& SoftDrawTargetSlot();

// The destination of a draw on the software-screen road: the mask screen's image while the
// draw state's mask is active, else the current draw target's software image. Null when the
// module that owns that image has not made it known.
MEMIMG* GetSoftScreenDestination();
