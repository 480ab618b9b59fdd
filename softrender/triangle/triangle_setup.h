// The set-up of a triangle of the rasteriser: its three vertices in 14.18 fixed point, the two
// vertex orders, the texture gradients and the edges that the line walk (triangle_walk.h)
// steps down. SetUpTriangle is a pure function of the twelve vertex integers.
//
// Fixed point: 14.18, one pixel = 0x40000. A vertex (x, y, u, v) becomes X = (x << 18) +
// 0x20000 and Y = (y << 18) + 0x20000 (the pixel centre), U = u << 18 and V = v << 18. A 14.18
// value becomes a whole number by division truncating toward zero (Trunc18), so a non-negative
// coordinate c gives c and a negative one c + 1.
#pragma once
#include <cstdint>

constexpr int32_t kFixedOne = 0x40000;   // one pixel in 14.18
constexpr int32_t kFixedHalf = 0x20000;  // half a pixel

// v / 262144 truncated toward zero.
constexpr int32_t Trunc18(int32_t v) { return (v + (v < 0 ? 0x3FFFF : 0)) >> 18; }

// One straight piece of a side of the triangle.
struct TriangleEdge {
    int32_t x = 0;          // 14.18 X at the segment's first line
    int32_t step = 0;       // 14.18 X change per line (truncated toward zero)
    int32_t lines = 0;      // lines of the segment
    int32_t startLine = 0;  // Trunc18 of the segment's start Y
};

struct TriangleSetup {
    // Vertex numbers (0..2) sorted by X and by Y ascending, by the exchange sort.
    int orderX[3] = {0, 1, 2};
    int orderY[3] = {0, 1, 2};
    // Texture mapping, 14.18 texels: at pixel (x, y)
    //   u = anchorU + (y - anchorY) * stepUy + (x - anchorX) * stepUx, v likewise,
    // the anchor being the first vertex of the X order in whole pixels. Zero for a flat
    // triangle.
    int32_t anchorX = 0, anchorY = 0, anchorU = 0, anchorV = 0;
    int32_t stepUx = 0, stepUy = 0, stepVx = 0, stepVy = 0;
    // Each side's segments: [0] the first, [1] the second when the side has two. Exactly one
    // side has two segments in the general case; flat-topped and flat-bottomed triangles have
    // one per side.
    TriangleEdge left[2], right[2];
    int leftSegments = 1, rightSegments = 1;
    int32_t firstLine = 0;  // the walk's first line: the first left segment's startLine
};

// Why a triangle is not drawn (SetUpTriangle's result).
enum class TriangleSetupResult {
    Ok,
    Collinear,   // the three vertices lie on one line (zero area)
    EmptyEdge,   // an edge spans no line
    OutOfRange,  // a fixed-point value, a difference of two, a gradient or a step leaves 32 bits
};

// Sets up the triangle of vertices[12] = three (x, y, u, v). textured false: u and v are not
// read and the gradients stay 0. Everything is worked out in 64-bit integers and doubles and
// the triangle is refused (OutOfRange) when any value the walk and the span loops keep in 32
// bits would not fit: X, Y (and U, V) of a vertex, a difference of two vertices' values, a
// gradient, or an edge's step.
TriangleSetupResult SetUpTriangle(const int32_t* vertices, bool textured, TriangleSetup* out);
