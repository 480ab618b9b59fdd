// The stretched draw of a texture graph on the Direct3D road: each piece's corners scaled
// from the first corner given; reversed corners give negative scales, which mirror the graph.
#include <algorithm>
#include <cmath>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/draw_state_record.h"
#include "graphics/graph_handle_table.h"

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
            corners[i] = QuadVertex3D{x0 + c.x * sx, y0 + c.y * sy, c.u, c.v,
                                      c.x * blendScaleU, c.y * blendScaleV};
        }
        if (overlap > 0) {
            int32_t textureW = 0, textureH = 0;
            PieceTextureSize(*piece, &textureW, &textureH);
            // Texture coordinates per target pixel; negative for a mirrored axis.
            const float stepU = textureW > 0 ? 1.0f / (static_cast<float>(textureW) * sx) : 0.0f;
            const float stepV = textureH > 0 ? 1.0f / (static_cast<float>(textureH) * sy) : 0.0f;
            const QuadClip3D clip{draw.drawAreaF[0] - 0.5f + course.originX,
                                  draw.drawAreaF[1] - 0.5f + course.originY,
                                  draw.drawAreaF[2] - 0.5f + course.originX,
                                  draw.drawAreaF[3] - 0.5f + course.originY,
                                  stepU,
                                  stepV,
                                  blendScaleU / sx,
                                  blendScaleV / sy};
            ClipQuadCorners3D(corners, clip);
        }
        AppendQuad3D(course, corners, diffuse);
    }
    FinishDraw3D();
    return 0;
}
