// The unscaled draw of a texture graph on the Direct3D road: one quad per texture piece, its
// top-left pixel at (x - 0.5, y - 0.5), clipped to the draw area with the texture coordinates
// moved along.
#include <cmath>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_piece_quads_3d.h"

int BlitGraph3D(int32_t x, int32_t y, const GraphRecord* graph, int32_t transFlag,
                int32_t intCoords) {
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return 0;
        case Draw3DStart::kDraw: break;
    }
    const float fx = CoordinateOf(x, intCoords);
    const float fy = CoordinateOf(y, intCoords);
    const int32_t ix = intCoords == 1 ? x : static_cast<int32_t>(std::lround(fx));
    const int32_t iy = intCoords == 1 ? y : static_cast<int32_t>(std::lround(fy));

    const int overlap = DrawAreaOverlap3D(RECT{ix, iy, ix + graph->width, iy + graph->height});
    if (overlap < 0) return 0;

    int32_t flags = (transFlag ? kApplyTransFlag : 0) | DepthApplyFlag();
    if (intCoords == 1) flags |= kApplyIntegerCoords;
    if (BeginGraphDraw3D(course, graph, flags) != 0) return -1;

    const float x0 = fx - 0.5f + course.originX;
    const float y0 = fy - 0.5f + course.originY;
    return DrawGraphPieceQuads3D(
        course, graph,
        [&](const Surface3DData& piece, int i, float* vx, float* vy) {
            *vx = x0 + piece.corners[i].x;
            *vy = y0 + piece.corners[i].y;
        },
        [&](const Surface3DData&, QuadVertex3D corners[4]) {
            if (overlap > 0) ClipPieceQuadToDrawArea3D(course, 0.0f, corners);
        });
}
