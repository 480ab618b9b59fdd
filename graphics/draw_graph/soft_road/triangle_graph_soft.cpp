#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"

#include <algorithm>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "softrender/records/memimg.h"
#include "softrender/triangle/triangle_rasterizer.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw target begins software
// drawing (flushing the Direct3D batch first) with the software draw target and source
// prepared for the boxes of GetTriangleSoftDrawBoxes; the triangle is rasterised into them and
// software drawing ends. -1 when the draw target cannot prepare them.
int DrawTriangleOnDirectDrawScreen(const int32_t* vertices, HandleValue surface2D,
                                   int32_t transFlag, const MEMIMG* blendImage,
                                   uint32_t colour) {
    RECT destinationBox, sourceBox;
    GetTriangleSoftDrawBoxes(vertices, &destinationBox, &sourceBox);
    SoftDrawPlace place{};
    if (BeginDirectDrawSoftDraw(surface2D, &sourceBox, &destinationBox, &place) != 0) return -1;
    RasterizeMemImgTriangle(place.destination, place.source, vertices, transFlag, blendImage,
                            colour, GetDrawState());
    EndSoftDraw();
    return 0;
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
    SoftSurfaceImage source{nullptr, kNoHandle, 0, 0};
    const MEMIMG* blendImage = nullptr;
    if (graph != nullptr) {
        if (GetGraphSurfaceSoftImage(graph, kNoHandle, &view, &source) != 0) return -1;
        blendImage = GetBlendGraphMemImg();
    }
    // On DirectDraw surfaces the begin of software drawing locks the graph's 2D surface as the
    // source; only the software screen draws from the graph's software image.
    if (!IsSoftwareScreenRoad()) {
        return DrawTriangleOnDirectDrawScreen(vertices, source.surface2D, transFlag, blendImage,
                                              colour);
    }
    MEMIMG* destination = GetSoftScreenDestination();
    if (destination == nullptr || (graph != nullptr && source.image == nullptr)) return -1;
    RasterizeMemImgTriangle(destination, source.image, vertices, transFlag, blendImage, colour,
                            GetDrawState());
    RECT box;
    GetTriangleSoftDrawBoxes(vertices, &box, nullptr);
    box.right += 1;
    box.bottom += 1;
    ShowFrontDraw(&box);
    return 0;
}
