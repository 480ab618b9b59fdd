// The rotated and scaled draw of a texture graph on the Direct3D road. The centre and half
// sizes are chosen by the position's integrality, the scale and the parity of the graph's
// sides, so that an unturned graph at a whole-pixel position lands on the half-pixel grid
// like the unscaled draw; near a right angle, an odd-sized graph whose corners the rotation
// left on whole pixels is moved back onto the half-pixel grid. The device clips.
#include <cmath>

#include "base/number_routines.h"
#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_piece_quads_3d.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

bool NearInteger(float v, float tolerance) {
    return std::fabs(v - std::nearbyint(v)) <= tolerance;
}

// The angles within about four degrees of a right angle (and the ones outside a turn).
bool NearRightAngle(double angle) {
    constexpr double kLow = -0.06981317007977318;
    constexpr double kHigh = 6.3529984772593595;
    if (angle < kLow || angle > kHigh) return true;
    constexpr double kRanges[5][2] = {
        {-0.06981317007977318, 0.06981317007977318},
        {1.5009831567151235, 1.6406094968746698},
        {3.07177948351002, 3.2114058236695664},
        {4.642575810304916, 4.782202150464463},
        {6.213372137099813, 6.3529984772593595},
    };
    for (const auto& r : kRanges) {
        if (angle > r[0] && angle < r[1]) return true;
    }
    return false;
}

// Corners TL, TR, BL, BR: the edges TL-TR, TR-BR, BR-BL, BL-TL.
constexpr int kEdges[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};

// When two corners of an edge share a coordinate that lies on a whole pixel, every corner of
// the quad moves half a pixel back on that axis.
void SnapAxis(QuadVertex3D corners[4], float QuadVertex3D::*axis) {
    for (const auto& e : kEdges) {
        const float a = corners[e[0]].*axis;
        const float b = corners[e[1]].*axis;
        if (std::fabs(a - b) <= 0.01f && NearInteger(a, 0.0001f)) {
            for (int i = 0; i < 4; ++i) corners[i].*axis -= 0.5f;
            return;
        }
    }
}

}  // namespace

int BlitGraphRotated3D(float x, float y, double scale, double angle, const GraphRecord* graph,
                       int32_t transFlag, int32_t turnFlag) {
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return 0;
        case Draw3DStart::kDraw: break;
    }
    if (scale == 0.0) return -1;
    x += course.originX;
    y += course.originY;
    const bool rotated = angle != 0.0;
    float sinA = 0.0f, cosA = 1.0f;
    if (rotated) SinCosF(static_cast<float>(angle), &sinA, &cosA);

    const int32_t w = graph->width;
    const int32_t h = graph->height;
    const bool integral = NearInteger(x, 0.00001f) && NearInteger(y, 0.00001f);
    float halfW = static_cast<float>(w) / 2.0f, halfH = static_cast<float>(h) / 2.0f;
    float cx = x, cy = y;
    if (integral) {
        const bool oddW = (w & 1) != 0, oddH = (h & 1) != 0;
        halfW = static_cast<float>(w) * 0.5f;
        halfH = static_cast<float>(h) * 0.5f;
        if (scale != 1.0) {
            cx = x - 0.5f;
            cy = y - 0.5f;
        } else if (oddW != oddH) {
            if (!oddW) halfW -= 0.5f;
            if (!oddH) halfH -= 0.5f;
        } else if (!oddW) {
            halfW = static_cast<float>(w / 2);
            halfH = static_cast<float>(h / 2);
            cx = x - 0.5f;
            cy = y - 0.5f;
        }
    }
    const bool snap = integral && rotated && ((w & 1) != 0 || (h & 1) != 0) &&
                      NearRightAngle(angle);

    if (BeginGraphDraw3D(course, graph, (transFlag ? kApplyTransFlag : 0) | DepthApplyFlag()) != 0) {
        return -1;
    }
    const float scaleF = static_cast<float>(scale);
    const float scaleX = turnFlag == 1 ? -scaleF : scaleF;
    return DrawGraphPieceQuads3D(
        course, graph,
        [&](const Surface3DData& piece, int i, float* vx, float* vy) {
            const TexVertex& c = piece.corners[i];
            const float ox = (c.x - halfW) * scaleX;
            const float oy = (c.y - halfH) * scaleF;
            *vx = cx + ox;
            *vy = cy + oy;
            if (rotated) {
                *vx = cx + ox * cosA - oy * sinA;
                *vy = cy + ox * sinA + oy * cosA;
            }
        },
        [&](const Surface3DData&, QuadVertex3D corners[4]) {
            if (snap) {
                SnapAxis(corners, &QuadVertex3D::x);
                SnapAxis(corners, &QuadVertex3D::y);
            }
        });
}
