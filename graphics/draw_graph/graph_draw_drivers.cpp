// The absent instances of the graph drawing family's drivers, and the slots that hold the ones
// in use.
#include "graphics/draw_graph/graph_draw_drivers.h"

namespace {

// --- No Direct3D graph draws: no graph is a texture graph, so a draw that gets here is refused.
int No3DBlit(int32_t, int32_t, const GraphRecord*, int32_t, int32_t) { return -1; }
int No3DStretch(int32_t, int32_t, int32_t, int32_t, const GraphRecord*, int32_t, int32_t) {
    return -1;
}
int No3DRotate(float, float, double, double, const GraphRecord*, int32_t, int32_t) {
    return -1;
}
int No3DQuad(float, float, float, float, float, float, float, float, const GraphRecord*,
             int32_t) {
    return -1;
}
int No3DFill(int32_t, int32_t, int32_t, int32_t, uint32_t) { return -1; }
int No3DString(int32_t, int32_t, const char*, uint32_t, HandleValue, uint32_t, int) {
    return -1;
}

// --- No movies.
int NoMovie(HandleValue, MovieOverlayFacts*) { return 0; }
void NoMovieFrame(HandleValue) {}
void NoOverlay(HandleValue, const RECT*, const RECT*, int) {}

}  // namespace

const GraphDraw3DDriver kAbsentGraphDraw3D = {
    .blitGraph3D = No3DBlit,
    .blitGraphStretched3D = No3DStretch,
    .blitGraphRotated3D = No3DRotate,
    .blitGraphQuad3D = No3DQuad,
    .fillBox3D = No3DFill,
    .drawString3D = No3DString,
};
const MovieDrawDriver kAbsentMovieDraw = {
    .getMovieFacts = NoMovie,
    .updateMovieFrame = NoMovieFrame,
    .updateOverlay = NoOverlay,
};

DriverSlot<GraphDraw3DDriver>& GraphDraw3DSlot() {
    static DriverSlot<GraphDraw3DDriver> slot(kAbsentGraphDraw3D);
    return slot;
}
DriverSlot<MovieDrawDriver>& MovieDrawSlot() {
    static DriverSlot<MovieDrawDriver> slot(kAbsentMovieDraw);
    return slot;
}
