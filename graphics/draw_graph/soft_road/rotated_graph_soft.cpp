#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"

#include <cstdint>

#include "base/number_routines.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "softrender/records/memimg.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/rotated/rotated_blit_plan.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw target begins software
// drawing (flushing the Direct3D batch first) with the graph's 2D surface, the source
// rectangle of its whole size and the box of GetRotatedSoftDrawBox; the kernel runs on the
// prepared software draw target and source and software drawing ends. A box that lies wholly
// outside the draw area, even with the kernel's margin, has nothing to draw and answers 0, as the
// software screen does; -1 when the draw target cannot prepare the draw.
int BlitRotatedOnDirectDrawScreen(int32_t x, int32_t y, double scale, double angle,
                                  const SoftSurfaceImage& source, int32_t transFlag,
                                  int32_t turnFlag, const MEMIMG* blendImage) {
    const RECT sourceRect{0, 0, source.width, source.height};
    const RECT box = GetRotatedSoftDrawBox(x, y, scale, angle, source.width, source.height);
    RECT reach = KernelReach(box);
    ClipRectInPlace(&reach, &GetDrawState().drawArea);
    if (reach.left == reach.right || reach.top == reach.bottom) return 0;
    SoftDrawPlace place{};
    if (BeginDirectDrawSoftDraw(source.surface2D, &sourceRect, &box, &place) != 0) return -1;
    BlitMemImgRotated(place.destination, place.source, x, y, static_cast<float>(angle),
                      static_cast<float>(scale), transFlag, turnFlag, blendImage, GetDrawState());
    EndSoftDraw();
    return 0;
}

}  // namespace

RECT GetRotatedSoftDrawBox(int32_t x, int32_t y, double scale, double angle, int32_t graphWidth,
                           int32_t graphHeight) {
    // The kernel takes the angle and scale as floats.
    RECT box{x, y, x, y};
    GetRotatedCornerBox(x, y, static_cast<float>(angle), static_cast<float>(scale), graphWidth,
                        graphHeight, &box);
    return box;
}

int BlitGraphRotatedSoft(float x, float y, double scale, double angle, const GraphRecord* graph,
                         int32_t transFlag, int32_t turnFlag) {
    const int32_t ix = FloatToInt(x);
    const int32_t iy = FloatToInt(y);
    if (!IsSoftDrawAvailable() || graph == nullptr) return -1;
    MEMIMG view;
    SoftSurfaceImage source;
    if (GetGraphSurfaceSoftImage(graph, kNoHandle, &view, &source) != 0) return -1;
    const MEMIMG* blendImage = GetBlendGraphMemImg();
    // On DirectDraw surfaces the source is the 2D surface's locked rectangle, which the begin
    // of software drawing prepares: a graph held in a surface (a divided tile among them) has
    // no software image of its own.
    if (!IsSoftwareScreenRoad()) {
        return BlitRotatedOnDirectDrawScreen(ix, iy, scale, angle, source, transFlag, turnFlag,
                                             blendImage);
    }
    MEMIMG* destination = GetSoftScreenDestination();
    if (source.image == nullptr || destination == nullptr) return -1;
    BlitMemImgRotated(destination, source.image, ix, iy, static_cast<float>(angle),
                      static_cast<float>(scale), transFlag, turnFlag, blendImage, GetDrawState());
    // The kernel's own bounds: the corners' box with its margin of 2 before and 4 after.
    RECT box = KernelReach(GetRotatedSoftDrawBox(ix, iy, scale, angle, source.width, source.height));
    ShowFrontDraw(&box);
    return 0;
}
