// The common course of the Direct3D graph draws (graph_draw_3d_course.h).
#include "graphics/d3d/graph_draw_3d_course.h"

#include <bit>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"

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

// How a value of the corners (a texture or blend-graph coordinate) changes per target pixel
// along x and along y, by the quad's own affine map through its top-left, top-right and
// bottom-left corners. It follows the quad's corners, not the graph's axes: a mirrored quad
// gives a negative change, and a quad turned by a quarter (its graph columns running down the
// target) changes its v along x and its u along y.
struct CornerGradient {
    double perX = 0.0, perY = 0.0;
};

CornerGradient GradientOf(const QuadVertex3D corners[4], float QuadVertex3D::*value) {
    const QuadVertex3D& tl = corners[0];
    const QuadVertex3D& tr = corners[1];
    const QuadVertex3D& bl = corners[2];
    const double acrossX = double{tr.x} - tl.x, acrossY = double{tr.y} - tl.y;
    const double downX = double{bl.x} - tl.x, downY = double{bl.y} - tl.y;
    const double det = acrossX * downY - acrossY * downX;
    // A quad without area covers no pixel: its coordinates need not move.
    if (det == 0.0) return {};
    const double across = double{tr.*value} - tl.*value;
    const double down = double{bl.*value} - tl.*value;
    return {(across * downY - down * acrossY) / det, (down * acrossX - across * downX) / det};
}

// The four values a corner carries besides its position.
constexpr float QuadVertex3D::*kCornerValues[4] = {&QuadVertex3D::u, &QuadVertex3D::v,
                                                   &QuadVertex3D::blendU, &QuadVertex3D::blendV};

// A position outside [low, high] on the nearer edge; inside, the position itself.
float ClampedTo(float position, float low, float high) {
    return position < low ? low : position > high ? high : position;
}

}  // namespace

void ClipQuadCorners3D(QuadVertex3D corners[4], const QuadClip3D& clip) {
    // Taken from the corners as given, before any of them moves.
    CornerGradient gradients[4];
    for (int k = 0; k < 4; ++k) gradients[k] = GradientOf(corners, kCornerValues[k]);
    for (int i = 0; i < 4; ++i) {
        QuadVertex3D& c = corners[i];
        const float x = ClampedTo(c.x, clip.left, clip.right);
        const float y = ClampedTo(c.y, clip.top, clip.bottom);
        if (x == c.x && y == c.y) continue;
        const double dx = double{x} - c.x, dy = double{y} - c.y;
        c.x = x;
        c.y = y;
        for (int k = 0; k < 4; ++k) {
            float& value = c.*kCornerValues[k];
            value = static_cast<float>(value + dx * gradients[k].perX + dy * gradients[k].perY);
        }
    }
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
