// The stretched draw of a texture graph on the Direct3D road: each piece's corners scaled
// from the first corner given; reversed corners give negative scales, which mirror the graph.
#include <algorithm>
#include <cmath>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_piece_quads_3d.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"

int BlitGraphStretched3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         const GraphRecord* graph, int32_t transFlag, int32_t intCoords) {
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return 0;
        case Draw3DStart::kDraw: break;
    }
    const float fx1 = CoordinateOf(x1, intCoords), fy1 = CoordinateOf(y1, intCoords);
    const float fx2 = CoordinateOf(x2, intCoords), fy2 = CoordinateOf(y2, intCoords);
    auto whole = [&](int32_t v, float f) {
        return intCoords == 1 ? v : static_cast<int32_t>(std::lround(f));
    };
    const int32_t ix1 = whole(x1, fx1), iy1 = whole(y1, fy1);
    const int32_t ix2 = whole(x2, fx2), iy2 = whole(y2, fy2);
    if (ix1 == ix2 || iy1 == iy2 || graph->width <= 0 || graph->height <= 0) return -1;

    const RECT ordered{std::min(ix1, ix2), std::min(iy1, iy2), std::max(ix1, ix2),
                       std::max(iy1, iy2)};
    const int overlap = DrawAreaOverlap3D(ordered);
    if (overlap < 0) return 0;

    const DrawState& draw = GetDrawState();
    int32_t flags = (transFlag ? kApplyTransFlag : 0) | DepthApplyFlag();
    if (intCoords == 1 && draw.textureFilter != 1) flags |= kApplyIntegerCoords;
    if (BeginGraphDraw3D(course, graph, flags) != 0) return -1;

    const float sx = (fx2 - fx1) / static_cast<float>(graph->width);
    const float sy = (fy2 - fy1) / static_cast<float>(graph->height);
    const float x0 = fx1 - 0.5f + course.originX;
    const float y0 = fy1 - 0.5f + course.originY;
    return DrawGraphPieceQuads3D(
        course, graph,
        [&](const Surface3DData& piece, int i, float* vx, float* vy) {
            *vx = x0 + piece.corners[i].x * sx;
            *vy = y0 + piece.corners[i].y * sy;
        },
        [&](const Surface3DData&, QuadVertex3D corners[4]) {
            if (overlap > 0) ClipPieceQuadToDrawArea3D(course, -0.5f, corners);
        });
}
