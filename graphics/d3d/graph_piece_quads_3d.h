// The piece loop every quad-shaped Direct3D graph draw ends with: each piece's texture
// selected, its four corners placed by the draw, the quad finished (clipped to the draw area or
// snapped) and appended, and the scene finished after the last piece.
#pragma once
#include <cstdint>

#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/graphs/graph_handle_table.h"

// place(piece, i, &x, &y) gives corner i's target position (the texture and blend-graph
// coordinates follow the piece's corner); finish(piece, corners) then adjusts the quad before it
// is appended with the device's vertex colour. 0, or -1 when a piece or its texture does not
// resolve.
template <typename Place, typename Finish>
int DrawGraphPieceQuads3D(const Draw3DCourse& course, const GraphRecord* graph, Place place,
                          Finish finish) {
    float blendScaleU = 0.0f, blendScaleV = 0.0f;
    GetBlendGraphScales(&blendScaleU, &blendScaleV);
    const uint32_t diffuse = GetDeviceVertexColor();
    for (int32_t p = 0; p < graph->surfaceCount; ++p) {
        const HandleValue handle = graph->surfaces[p];
        const Surface3DData* piece = GetSurface3DData(handle);
        if (piece == nullptr || SelectPieceTexture3D(course, handle) != 0) return -1;
        QuadVertex3D corners[4];
        for (int i = 0; i < 4; ++i) {
            const TexVertex& c = piece->corners[i];
            float vx = 0.0f, vy = 0.0f;
            place(*piece, i, &vx, &vy);
            corners[i] = QuadVertex3D{vx, vy, c.u, c.v, c.x * blendScaleU, c.y * blendScaleV};
        }
        finish(*piece, corners);
        AppendQuad3D(course, corners, diffuse);
    }
    FinishDraw3D();
    return 0;
}

// Clips a piece's quad to the draw area (each edge moved by edgeOffset): its texture and
// blend-graph coordinates move with its corners by the quad's own map, whether the draw
// scales, mirrors or turns the graph by a quarter.
void ClipPieceQuadToDrawArea3D(const Draw3DCourse& course, float edgeOffset,
                               QuadVertex3D corners[4]);
