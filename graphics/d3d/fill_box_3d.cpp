// The box fill on the Direct3D road: one untextured quad on whole pixels (the box's corners
// are pixel edges), its colour the screen colour modulated by the draw bright.
#include <algorithm>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/screen/screen.h"

int FillBox3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    Draw3DCourse course{};
    switch (OpenDraw3D(&course)) {
        case Draw3DStart::kRefused: return -1;
        case Draw3DStart::kSuppressed: return FillBoxSoft(x1, y1, x2, y2, colour);
        case Draw3DStart::kDraw: break;
    }
    RECT box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    const DrawState& draw = GetDrawState();
    ClipRectInPlace(&box, &draw.drawArea);
    if (box.left >= box.right || box.top >= box.bottom) return 0;

    BeginDeviceScene();
    if (course.device->stage0Texture != nullptr) SetDeviceTexture(course.index, nullptr);
    ApplyDrawRenderState(kNoHandle, DepthApplyFlag());

    int32_t r = 0, g = 0, b = 0;
    GetScreenColorRGB(colour, &r, &g, &b);
    const uint32_t vertexColour = GetDeviceVertexColor();
    const uint32_t red = ((vertexColour >> 16) & 0xFF) * static_cast<uint32_t>(r) / 255;
    const uint32_t green = ((vertexColour >> 8) & 0xFF) * static_cast<uint32_t>(g) / 255;
    const uint32_t blue = (vertexColour & 0xFF) * static_cast<uint32_t>(b) / 255;
    const uint32_t diffuse = (vertexColour & 0xFF000000u) | red << 16 | green << 8 | blue;

    const float left = static_cast<float>(box.left) + course.originX;
    const float top = static_cast<float>(box.top) + course.originY;
    const float right = static_cast<float>(box.right) + course.originX;
    const float bottom = static_cast<float>(box.bottom) + course.originY;
    const QuadVertex3D corners[4] = {{left, top, 0, 0, 0, 0},
                                     {right, top, 0, 0, 0, 0},
                                     {left, bottom, 0, 0, 0, 0},
                                     {right, bottom, 0, 0, 0, 0}};
    AppendQuad3D(course, corners, diffuse);
    FinishDraw3D();
    return 0;
}
