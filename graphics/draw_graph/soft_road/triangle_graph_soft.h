// DrawGraphTriangleSoft: the software path of drawing one triangle of a graph, or one
// flat-colour triangle, onto the current draw target. It finds the graph's software image and
// the blend graph's image and hands the triangle to the rasteriser (RasterizeMemImgTriangle).
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"

struct GraphRecord;

// vertices: three vertices of (x, y, u, v) as the rasteriser takes them. graph: the graph
// whose image is mapped, or null for a triangle filled with colour (a pixel value of the draw
// target's form, used only without a graph; no blend graph is used then either).
//
// Returns -1 when software drawing is not possible (neither software-only mode nor a
// DirectDraw object), when the graph's 2D surface or surface data cannot be found, or when the
// image the draw goes to is not known (see draw_target_images.h); otherwise 0, also when the
// rasteriser draws nothing (for instance a graph whose pixel format differs from the
// destination's: no conversion is made). On the software screen the triangle goes into the
// draw target's software image, or the mask screen's while mask drawing is active; on a screen
// in DirectDraw surfaces into the software images the draw target prepares for the draw (-1
// when it prepares none). A draw to the front of a software screen is shown in the window at
// once.
int DrawGraphTriangleSoft(const int32_t* vertices, const GraphRecord* graph, int32_t transFlag,
                          uint32_t colour);

// The two boxes a draw on a DirectDraw screen prepares its software images for: over the
// three vertices' (x, y) and over their (u, v), each (smallest, smallest, largest, largest)
// with the largest values inclusive.
void GetTriangleSoftDrawBoxes(const int32_t* vertices, RECT* destinationBox, RECT* sourceBox);
