#include "softrender/triangle/triangle_graph_draw.h"

#include <algorithm>

#include "graphics/memimg.h"
#include "softrender/rules/soft_draw_target.h"
#include "softrender/triangle/triangle_rasterizer.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw first flushes the
// Direct3D batch (and ends the Direct3D scene once the screen has been opened), prepares the
// software draw target and source for the boxes of GetTriangleSoftDrawBoxes, rasterises into
// them and ends the software drawing. That road belongs to the screen, which has not
// connected it yet: until it does, such a draw is refused.
int DrawTriangleOnDirectDrawScreen(const int32_t* /*vertices*/,
                                   const Surface2DRecord* /*surface2D*/, int32_t /*transFlag*/,
                                   const MEMIMG* /*blendImage*/, uint32_t /*colour*/) {
    return -1;
}

}  // namespace

void GetTriangleSoftDrawBoxes(const int32_t* vertices, RECT* destinationBox, RECT* sourceBox) {
    RECT d{1000000, 1000000, -1000000, -1000000};
    RECT s = d;
    for (int i = 0; i < 3; ++i) {
        const int32_t* v = vertices + 4 * i;
        d.left = std::min(d.left, v[0]);
        d.top = std::min(d.top, v[1]);
        d.right = std::max(d.right, v[0]);
        d.bottom = std::max(d.bottom, v[1]);
        s.left = std::min(s.left, v[2]);
        s.top = std::min(s.top, v[3]);
        s.right = std::max(s.right, v[2]);
        s.bottom = std::max(s.bottom, v[3]);
    }
    if (destinationBox != nullptr) *destinationBox = d;
    if (sourceBox != nullptr) *sourceBox = s;
}

int DrawGraphTriangleSoft(const int32_t* vertices, const GraphRecord* graph, int32_t transFlag,
                          uint32_t colour) {
    if (!IsSoftDrawAvailable() || vertices == nullptr) return -1;
    MEMIMG view;
    const MEMIMG* source = nullptr;
    const Surface2DRecord* surface2D = nullptr;
    const MEMIMG* blendImage = nullptr;
    if (graph != nullptr) {
        source = GetGraphSoftImage(graph, &view, &surface2D);
        if (source == nullptr) return -1;
        blendImage = GetBlendGraphMemImg();
    }
    if (!IsSoftwareScreenRoad()) {
        return DrawTriangleOnDirectDrawScreen(vertices, surface2D, transFlag, blendImage, colour);
    }
    MEMIMG* destination = GetSoftScreenDestination();
    if (destination == nullptr) return -1;
    RasterizeMemImgTriangle(destination, source, vertices, transFlag, blendImage, colour);
    return 0;
}
