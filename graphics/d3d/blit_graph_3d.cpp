// The unscaled draw of a texture graph on the Direct3D road: one quad per texture piece, its
// top-left pixel at (x - 0.5, y - 0.5), clipped to the draw area with the texture coordinates
// moved along.
#include <cmath>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/draw_state_record.h"
#include "graphics/graph_handle_table.h"

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
    const DrawState& draw = GetDrawState();
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
            corners[i] = QuadVertex3D{x0 + c.x, y0 + c.y, c.u, c.v, c.x * blendScaleU,
                                      c.y * blendScaleV};
        }
        if (overlap > 0) {
            int32_t textureW = 0, textureH = 0;
            PieceTextureSize(*piece, &textureW, &textureH);
            const QuadClip3D clip{draw.drawAreaF[0] + course.originX,
                                  draw.drawAreaF[1] + course.originY,
                                  draw.drawAreaF[2] + course.originX,
                                  draw.drawAreaF[3] + course.originY,
                                  textureW > 0 ? 1.0f / static_cast<float>(textureW) : 0.0f,
                                  textureH > 0 ? 1.0f / static_cast<float>(textureH) : 0.0f,
                                  blendScaleU,
                                  blendScaleV};
            ClipQuadCorners3D(corners, clip);
        }
        AppendQuad3D(course, corners, diffuse);
    }
    FinishDraw3D();
    return 0;
}
