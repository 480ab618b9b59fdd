// The Direct3D road of the graph draws: one draw of a texture graph becomes vertices in the
// current device's batch (device.h). Each texture piece of the graph (up to 64,
// texture_pieces.h) becomes one quad of six vertices, top-left, top-right, bottom-left,
// bottom-right, bottom-left, top-right (a triangle list), in the vertex kind the device chose
// when it set its texture stages: untextured (box fills), one texture, or a blend-graph
// texture beside the graph's. Nothing is drawn at once: the batch goes to the device at the
// next flush (a change of state, texture, kind or primitive, a full batch, the end of the
// scene, any 2D operation).
//
// A graph's top-left pixel lies at (x - 0.5, y - 0.5): the device samples a pixel at its
// integer point, so the quad covers whole pixels and samples each texel at its middle. Every
// position also gets the top-left of the draw state's front-screen rectangle (the window's
// place on the desktop while the front of a windowed screen is drawn through the primary).
//
// All draws return -1 while Direct3D is not up or the current device slot is empty, and 0
// without drawing while 3D drawing is suppressed (the draw target is a graph the device
// cannot render to); the box fill then fills in software.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/d3d/device.h"
#include "graphics/draw_graph/graph_draw_drivers.h"

struct GraphRecord;

// A point of a four-corner draw.
struct QuadPoint3D {
    float x, y;
};

// The graph unscaled with its top-left at (x, y). intCoords 1: x and y are integers;
// otherwise they carry the bit patterns of floats. Clipped to the draw area; a graph entirely
// outside it answers 0 with nothing appended. -1 when a piece does not resolve.
int BlitGraph3D(int32_t x, int32_t y, const GraphRecord* graph, int32_t transFlag,
                int32_t intCoords);

// The graph stretched so that its top-left lands on (x1, y1) and its bottom-right on (x2, y2);
// reversed corners mirror it. Coordinates as in BlitGraph3D. -1 for a rectangle without
// width or height.
int BlitGraphStretched3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         const GraphRecord* graph, int32_t transFlag, int32_t intCoords);

// The graph scaled by scale and turned by angle (radians) about its centre at (x, y); turnFlag
// 1 mirrors it left to right. Not clipped (the device clips to its viewport). At an integral
// position the centre and half sizes are chosen so that the corners land on the half-pixel
// grid, and near a right angle an odd-sized graph's corners that the rotation left on whole
// pixels are moved back onto it. -1 for scale 0.
int BlitGraphRotated3D(float x, float y, double scale, double angle, const GraphRecord* graph,
                       int32_t transFlag, int32_t turnFlag);

// The graph's corners top-left, top-right, bottom-left, bottom-right on the four points (no
// half-pixel shift). With a blend graph the corners are rounded and BlitGraphQuadBlend3D
// draws.
int BlitGraphQuad3D(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                    float y4, const GraphRecord* graph, int32_t transFlag);

// The four-corner draw under a blend graph, corners as integers (same order). An axis-aligned
// rectangle goes to the stretched draw, a draw without a blend graph to BlitGraphQuad3D;
// otherwise each piece corner is placed by one of two affine maps of the quad (from the
// top-left for corners on or above the graph's bottom-left to top-right diagonal, from the
// bottom-right for the others) and clipped to the draw area.
int BlitGraphQuadBlend3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                         int32_t x4, int32_t y4, const GraphRecord* graph, int32_t transFlag);

// One texture piece on four free corners (top-left, top-right, bottom-left, bottom-right, in
// target coordinates): one quad when the corners form a parallelogram (opposite edges differ
// by less than a pixel), else a mesh of 8 x 8 vertices drawn with DrawQuadMesh3D. Nothing for
// a piece that does not resolve.
void DrawTexturedQuad3D(HandleValue piece, const QuadPoint3D corners[4]);

// Draws a grid of columns x rows one-texture vertices (row by row) as triangle strips through
// the device's indexed draw, at most 1000 indices a call. Consecutive rows are joined by
// repeating the last index of one row and the first of the next, so that the joins are
// degenerate triangles and draw nothing. The batch is flushed first. -1 for fewer than two
// columns or rows, or without a device.
int DrawQuadMesh3D(Device3DRecord* device, int32_t columns, int32_t rows,
                   const TexVertex* vertices);

// The box (x1, y1)-(x2, y2) (right and bottom exclusive, corners in any order) of one screen
// colour, modulated by the draw bright, under the blend state. Clipped to the draw area; an
// empty box answers 0. While 3D drawing is suppressed the box is filled in software.
int FillBox3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

// A string with a font whose glyphs are cached in a texture, drawn as rectangles of the cache
// graph at (x, y) within the draw area; a font without a texture cache takes the 2D text
// path (its result is returned). -1 while 3D drawing is suppressed; else 0.
int DrawStringWithFont3D(int32_t x, int32_t y, const char* string, uint32_t colour,
                         HandleValue font, uint32_t edgeColour, int vertical);

// The draws above as the graph drawing family's Direct3D road.
extern const GraphDraw3DDriver kGraphDraws3D;
