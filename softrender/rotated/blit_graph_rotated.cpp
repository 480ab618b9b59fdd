#include "softrender/rotated/blit_graph_rotated.h"

#include "graphics/memimg.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/rules/soft_draw_target.h"
#include "base/number_routines.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw first flushes the
// Direct3D batch (and ends the Direct3D scene once the screen has been opened), begins
// software drawing with the graph's 2D surface, the source rectangle of its whole size and the
// box of GetRotatedSoftDrawBox (-1 when that box misses the draw area), runs the kernel on the
// prepared software draw target and source, and ends software drawing. That road belongs to
// the screen, which has not connected it yet: until it does, such a draw is refused.
int BlitRotatedOnDirectDrawScreen(int32_t /*x*/, int32_t /*y*/, double /*scale*/,
                                  double /*angle*/, const GraphRecord* /*graph*/,
                                  const Surface2DRecord* /*surface2D*/, int32_t /*transFlag*/,
                                  int32_t /*turnFlag*/, const MEMIMG* /*blendImage*/) {
    return -1;
}

}  // namespace

RECT GetRotatedSoftDrawBox(int32_t x, int32_t y, double scale, double angle, int32_t graphWidth,
                           int32_t graphHeight) {
    float s, c;
    SinCosF(static_cast<float>(angle), &s, &c);
    const float hw = static_cast<float>(graphWidth * scale * 0.5);
    const float hh = static_cast<float>(graphHeight * scale * 0.5);
    const float corners[4][2] = {{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}};
    RECT box{1000000, 1000000, -1000000, -1000000};
    for (const auto& corner : corners) {
        const float px = corner[0];
        const float py = corner[1];
        const int32_t cornerX = FloatToInt(c * px - s * py) + x;
        const int32_t cornerY = FloatToInt(s * px + c * py) + y;
        box.left = cornerX < box.left ? cornerX : box.left;
        box.top = cornerY < box.top ? cornerY : box.top;
        box.right = cornerX > box.right ? cornerX : box.right;
        box.bottom = cornerY > box.bottom ? cornerY : box.bottom;
    }
    return box;
}

int BlitGraphRotatedSoft(float x, float y, double scale, double angle, const GraphRecord* graph,
                         int32_t transFlag, int32_t turnFlag) {
    const int32_t ix = FloatToInt(x);
    const int32_t iy = FloatToInt(y);
    if (!IsSoftDrawAvailable() || graph == nullptr) return -1;
    MEMIMG view;
    const Surface2DRecord* surface2D = nullptr;
    const MEMIMG* source = GetGraphSoftImage(graph, &view, &surface2D);
    if (source == nullptr) return -1;
    const MEMIMG* blendImage = GetBlendGraphMemImg();
    if (!IsSoftwareScreenRoad()) {
        return BlitRotatedOnDirectDrawScreen(ix, iy, scale, angle, graph, surface2D, transFlag,
                                             turnFlag, blendImage);
    }
    MEMIMG* destination = GetSoftScreenDestination();
    if (destination == nullptr) return -1;
    BlitMemImgRotated(destination, source, ix, iy, static_cast<float>(angle),
                      static_cast<float>(scale), transFlag, turnFlag, blendImage);
    return 0;
}
