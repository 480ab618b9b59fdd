// The start-up steps that draw: the first draw targets and the first clears of both screens.
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "library/library_module_steps.h"

// Both screens are made draw targets once; the front screen stays the target.
int SetFirstDrawTargets() {
    SetDrawTarget(kDrawTargetBack);
    SetDrawTarget(kDrawTargetFront);
    return 0;
}

namespace {

// A black 256 x 256 graph made from an image; -1 when it cannot be made.
HandleValue MakeBlackGraph() {
    GraphImage image = {};
    if (InitGraphImageRgb24(256, 256, &image) != 0) return kNoHandle;
    FillGraphImage(&image, 0, 0, 0, 255);
    const HandleValue graph = MakeGraphFromImage(&image);
    FreeGraphImage(&image);
    return graph;
}

}  // namespace

// The first clears of both screens, drawn with graphs so that start-up takes the roads every
// later draw takes: a drawable graph is made a draw target once, a black graph is drawn on the
// back and the front screen, and a second one is drawn stretched over the default screen's
// area (640 x 480) of the front screen. The front screen stays the draw target.
int ClearBothScreens() {
    SetNewGraphsDrawable(1);
    const HandleValue blank = CreateBlankGraph(256, 256, 0);
    SetNewGraphsDrawable(0);
    if (blank != kNoHandle) {
        SetDrawTarget(blank);
        SetDrawTarget(kDrawTargetFront);
        DeleteGraphHandle(blank, 0);
    }
    SetDrawTarget(kDrawTargetBack);

    const HandleValue first = MakeBlackGraph();
    if (first != kNoHandle) {
        SetBlendState(kBlendSubtract, 128);
        BlitGraph2D(0, 0, GetGraphRecord(first), 1, 1);
        SetBlendState(kBlendNone, 0);
        SetDrawTarget(kDrawTargetFront);
        BlitGraph2D(0, 0, GetGraphRecord(first), 1, 1);
        DeleteGraphHandle(first, 0);
    }
    SetDrawTarget(kDrawTargetFront);

    const HandleValue second = MakeBlackGraph();
    if (second != kNoHandle) {
        BlitGraphStretched2D(0, 0, kDefaultScreenWidth, kDefaultScreenHeight,
                             GetGraphRecord(second), 0);
        DeleteGraphHandle(second, 0);
    }
    return 0;
}
