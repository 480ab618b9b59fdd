// The four-corner draw of a texture graph on the Direct3D road: each piece placed on the quad
// by bilinear interpolation of the four corners, and drawn as one quad when its corners form a
// parallelogram, else as a mesh of 8 x 8 vertices whose cells follow the free shape.
#include <cmath>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

constexpr int32_t kMeshSide = 8;
// One step of the 7 cells between the mesh's rows and columns.
constexpr float kMeshStep = 1.0f / 7.0f;

// A point of the quad (TL, TR, BL, BR) at the fractions s across and t down.
QuadPoint3D Bilinear(const QuadPoint3D q[4], float s, float t) {
    const float leftX = q[0].x + t * (q[2].x - q[0].x);
    const float leftY = q[0].y + t * (q[2].y - q[0].y);
    const float rightX = q[1].x + t * (q[3].x - q[1].x);
    const float rightY = q[1].y + t * (q[3].y - q[1].y);
    return QuadPoint3D{leftX + s * (rightX - leftX), leftY + s * (rightY - leftY)};
}

bool NearlyEqual(float a, float b) { return std::fabs(a - b) < 1.0f; }

// Opposite edges of the quad as vectors differ by less than a pixel.
bool IsParallelogram(const QuadPoint3D q[4]) {
    const float topX = q[1].x - q[0].x, topY = q[1].y - q[0].y;
    const float bottomX = q[3].x - q[2].x, bottomY = q[3].y - q[2].y;
    const float leftX = q[2].x - q[0].x, leftY = q[2].y - q[0].y;
    const float rightX = q[3].x - q[1].x, rightY = q[3].y - q[1].y;
    return NearlyEqual(topX, bottomX) && NearlyEqual(topY, bottomY) &&
           NearlyEqual(leftX, rightX) && NearlyEqual(leftY, rightY);
}

}  // namespace

void DrawTexturedQuad3D(HandleValue handle, const QuadPoint3D q[4]) {
    Draw3DCourse course{};
    if (OpenDraw3D(&course) != Draw3DStart::kDraw) return;
    const Surface3DData* piece = GetSurface3DData(handle);
    if (piece == nullptr || SelectPieceTexture3D(course, handle) != 0) return;
    const uint32_t diffuse = GetDeviceVertexColor();
    const float u0 = piece->corners[0].u, v0 = piece->corners[0].v;
    const float u1 = piece->corners[3].u, v1 = piece->corners[3].v;

    if (IsParallelogram(q)) {
        QuadVertex3D corners[4];
        for (int i = 0; i < 4; ++i) {
            corners[i] = QuadVertex3D{q[i].x, q[i].y, piece->corners[i].u, piece->corners[i].v,
                                      0.0f, 0.0f};
        }
        AppendQuad3D(course, corners, diffuse);
        return;
    }

    TexVertex mesh[kMeshSide * kMeshSide];
    const float z = GetDrawState().vertexDepth;
    for (int32_t row = 0; row < kMeshSide; ++row) {
        const float t = static_cast<float>(row) * kMeshStep;
        for (int32_t col = 0; col < kMeshSide; ++col) {
            const float s = static_cast<float>(col) * kMeshStep;
            const QuadPoint3D p = Bilinear(q, s, t);
            mesh[row * kMeshSide + col] =
                TexVertex{p.x, p.y, z, 1.0f, diffuse, u0 + s * (u1 - u0), v0 + t * (v1 - v0)};
        }
    }
    DrawQuadMesh3D(course.device, kMeshSide, kMeshSide, mesh);
}

int BlitGraphQuad3D(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                    float y4, const GraphRecord* graph, int32_t transFlag) {
    if (GetDrawState().blendGraph != kNoHandle) {
        auto r = [](float v) { return static_cast<int32_t>(std::lround(v)); };
        return BlitGraphQuadBlend3D(r(x1), r(y1), r(x2), r(y2), r(x3), r(y3), r(x4), r(y4),
                                    graph, transFlag);
    }
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return 0;
        case Draw3DStart::kDraw: break;
    }
    if (BeginGraphDraw3D(course, graph, (transFlag ? kApplyTransFlag : 0) | DepthApplyFlag()) != 0) {
        return -1;
    }
    const QuadPoint3D quad[4] = {{x1 + course.originX, y1 + course.originY},
                                 {x2 + course.originX, y2 + course.originY},
                                 {x3 + course.originX, y3 + course.originY},
                                 {x4 + course.originX, y4 + course.originY}};
    if (graph->surfaceCount == 1) {
        if (GetSurface3DData(graph->surfaces[0]) == nullptr) return -1;
        DrawTexturedQuad3D(graph->surfaces[0], quad);
    } else {
        const float w = static_cast<float>(graph->width);
        const float h = static_cast<float>(graph->height);
        for (int32_t p = 0; p < graph->surfaceCount; ++p) {
            const Surface3DData* piece = GetSurface3DData(graph->surfaces[p]);
            if (piece == nullptr) return -1;
            QuadPoint3D placed[4];
            for (int i = 0; i < 4; ++i) {
                placed[i] = Bilinear(quad, piece->corners[i].x / w, piece->corners[i].y / h);
            }
            DrawTexturedQuad3D(graph->surfaces[p], placed);
        }
    }
    FinishDraw3D();
    return 0;
}
