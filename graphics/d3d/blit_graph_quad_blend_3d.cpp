// The four-corner draw under a blend graph on the Direct3D road. The blend graph's coordinates
// follow the graph's own pixels, so a piece cannot be bent into a mesh: each piece corner is
// placed by one of two affine maps of the quad, the one from the top-left corner for corners
// on or above the graph's bottom-left to top-right diagonal, the one from the bottom-right
// corner for the others, and each piece is one quad, clipped to the draw area.
#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_piece_quads_3d.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"

int BlitGraphQuadBlend3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                         int32_t x4, int32_t y4, const GraphRecord* graph, int32_t transFlag) {
    // Corners: 1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right.
    if (x1 == x3 && x2 == x4 && y1 == y2 && y3 == y4) {
        return BlitGraphStretched3D(x1, y1, x4, y4, graph, transFlag, 1);
    }
    const DrawState& draw = GetDrawState();
    if (draw.blendGraph == kNoHandle) {
        auto f = [](int32_t v) { return static_cast<float>(v); };
        return BlitGraphQuad3D(f(x1), f(y1), f(x2), f(y2), f(x3), f(y3), f(x4), f(y4), graph,
                               transFlag);
    }
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return 0;
        case Draw3DStart::kDraw: break;
    }
    if (graph->width <= 0 || graph->height <= 0) return -1;
    const int32_t flags = (transFlag ? kApplyTransFlag : 0) | kApplyIntegerCoords |
                          DepthApplyFlag();
    if (BeginGraphDraw3D(course, graph, flags) != 0) return -1;

    auto fx = [&](int32_t v) { return static_cast<float>(v) + course.originX - 0.5f; };
    auto fy = [&](int32_t v) { return static_cast<float>(v) + course.originY - 0.5f; };
    const float tlX = fx(x1), tlY = fy(y1), trX = fx(x2), trY = fy(y2);
    const float blX = fx(x3), blY = fy(y3), brX = fx(x4), brY = fy(y4);
    const float w = static_cast<float>(graph->width);
    const float h = static_cast<float>(graph->height);
    // Steps per graph column and per graph row of the map from the top-left corner, and of the
    // map from the bottom-right corner (taken backwards).
    const float colX = (trX - tlX) / w, colY = (trY - tlY) / w;
    const float rowX = (blX - tlX) / h, rowY = (blY - tlY) / h;
    const float backColX = (brX - blX) / w, backColY = (brY - blY) / w;
    const float backRowX = (brX - trX) / h, backRowY = (brY - trY) / h;

    return DrawGraphPieceQuads3D(
        course, graph,
        [&](const Surface3DData& piece, int i, float* vx, float* vy) {
            const TexVertex& c = piece.corners[i];
            if (piece.belowDiagonal[i]) {
                *vx = tlX + c.x * colX + c.y * rowX;
                *vy = tlY + c.x * colY + c.y * rowY;
            } else {
                *vx = brX - (w - c.x) * backColX - (h - c.y) * backRowX;
                *vy = brY - (w - c.x) * backColY - (h - c.y) * backRowY;
            }
        },
        [&](const Surface3DData&, QuadVertex3D corners[4]) {
            ClipPieceQuadToDrawArea3D(course, 0.0f, corners);
        });
}
