// The common course of the Direct3D graph draws (graph_draw_3d_course.h).
#include "graphics/d3d/graph_draw_3d_course.h"

#include <bit>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_data.h"

Draw3DStart OpenDraw3D(Draw3DCourse* course) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return Draw3DStart::kRefused;
    if (GetDevice3DState().drawingSuppressed) return Draw3DStart::kSuppressed;
    course->device = device;
    course->index = GetDevice3DState().currentDevice;
    int32_t originX = 0, originY = 0;
    GetDeviceDrawOrigin(&originX, &originY);
    course->originX = static_cast<float>(originX);
    course->originY = static_cast<float>(originY);
    return Draw3DStart::kDraw;
}

int32_t DepthApplyFlag() { return GetDrawState().depthEnable > 0 ? kApplyDepthSettings : 0; }

int BeginGraphDraw3D(const Draw3DCourse& /*course*/, const GraphRecord* graph,
                     int32_t applyFlags) {
    BeginDeviceScene();
    if (graph->surfaceCount < 1 || GetSurface3DData(graph->surfaces[0]) == nullptr) return -1;
    ApplyDrawRenderState(graph->surfaces[0], applyFlags);
    return 0;
}

int SelectPieceTexture3D(const Draw3DCourse& course, HandleValue piece) {
    plat::DrawSurface* texture = GetPieceTextureSurface(piece);
    if (texture == nullptr) return -1;
    if (texture != course.device->stage0Texture) SetDeviceTexture(course.index, texture);
    if (course.device->stateChanged || course.device->textureChanged) {
        ApplyTextureStageStates(course.index);
    }
    return 0;
}

void AppendQuad3D(const Draw3DCourse& course, const QuadVertex3D corners[4], uint32_t diffuse) {
    // Triangle list TL-TR-BL and BR-BL-TR.
    static constexpr int kOrder[6] = {0, 1, 2, 3, 2, 1};
    const float z = GetDrawState().vertexDepth;
    void* out = AppendDeviceVertices(course.device, 6);
    if (out == nullptr) return;
    switch (course.device->batch.kind) {
        case 0: {
            auto* v = static_cast<PlainVertex*>(out);
            for (int i = 0; i < 6; ++i) {
                const QuadVertex3D& c = corners[kOrder[i]];
                v[i] = PlainVertex{c.x, c.y, z, 1.0f, diffuse};
            }
            break;
        }
        case 2: {
            auto* v = static_cast<BlendTexVertex*>(out);
            for (int i = 0; i < 6; ++i) {
                const QuadVertex3D& c = corners[kOrder[i]];
                v[i] = BlendTexVertex{c.x, c.y, z, 1.0f, diffuse, 0xFFFFFFFFu,
                                      c.blendU, c.blendV, c.u, c.v};
            }
            break;
        }
        default: {
            auto* v = static_cast<TexVertex*>(out);
            for (int i = 0; i < 6; ++i) {
                const QuadVertex3D& c = corners[kOrder[i]];
                v[i] = TexVertex{c.x, c.y, z, 1.0f, diffuse, c.u, c.v};
            }
            break;
        }
    }
}

void FinishDraw3D() {
    if (GetDevice3DState().endSceneAfterEachDraw) EndCurrentDeviceScene();
}

namespace {

// One axis of a corner: a position outside [low, high] moves to the edge, and its texture and
// blend-graph coordinates move with it by their steps per target pixel.
void ClipCornerAxis(float* position, float* texture, float* blend, float low, float high,
                    float step, float blendStep) {
    if (*position < low) {
        const float d = low - *position;
        *texture += d * step;
        *blend += d * blendStep;
        *position = low;
    } else if (*position > high) {
        const float d = *position - high;
        *texture -= d * step;
        *blend -= d * blendStep;
        *position = high;
    }
}

}  // namespace

void ClipQuadCorners3D(QuadVertex3D corners[4], const QuadClip3D& clip) {
    for (int i = 0; i < 4; ++i) {
        QuadVertex3D& c = corners[i];
        ClipCornerAxis(&c.x, &c.u, &c.blendU, clip.left, clip.right, clip.stepU,
                       clip.blendStepU);
        ClipCornerAxis(&c.y, &c.v, &c.blendV, clip.top, clip.bottom, clip.stepV,
                       clip.blendStepV);
    }
}

void PieceTextureSize(const Surface3DData& piece, int32_t* width, int32_t* height) {
    const SurfaceDataRecord* data = GetSurfaceData(piece.surfaceData);
    *width = data != nullptr ? data->width : 0;
    *height = data != nullptr ? data->height : 0;
}

int DrawAreaOverlap3D(const RECT& rect) {
    const RECT& area = GetDrawState().drawArea;
    if (rect.right <= area.left || rect.left >= area.right || rect.bottom <= area.top ||
        rect.top >= area.bottom) {
        return -1;
    }
    if (rect.left >= area.left && rect.right <= area.right && rect.top >= area.top &&
        rect.bottom <= area.bottom) {
        return 0;
    }
    return 1;
}

float CoordinateOf(int32_t value, int32_t intCoords) {
    return intCoords == 1 ? static_cast<float>(value) : std::bit_cast<float>(value);
}
