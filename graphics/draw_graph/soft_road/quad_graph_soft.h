// The software paths of drawing a graph onto four free corners: two textured triangles of
// DrawGraphTriangleSoft, corners 0, 1, 2 and then 1, 2, 3, with the graph's corners as texture
// coordinates (corner order as quad_draw.h: top-left, top-right, bottom-left, bottom-right).
#pragma once
#include <cstdint>

struct GraphRecord;

// Draws the graph with its four corners at (x0, y0) .. (x3, y3). Returns 0 whatever the two
// triangle draws return; -1 only when no graph is given.
int DrawGraphQuadSoft(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      int32_t x3, int32_t y3, const GraphRecord* graph, int32_t transFlag);

// The same with float corners, each truncated toward zero (FloatToInt; a value outside the
// 32-bit range, or NaN, becomes the most negative integer, which the rasteriser refuses).
// The software path of the four-corner graph draw.
int DrawGraphQuadSoftFloat(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                           float y3, const GraphRecord* graph, int32_t transFlag);
