// The course every core graph draw (at a point, stretched, rotated, four corners) runs around
// its back end: the early checks, the bracket for the mask screen and for the window repaint
// of a software screen's front, and the choice between the Direct3D road and the 2D road with
// the subtract emulation of a texture graph.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"
#include "softrender/records/rect.h"

// What OpenGraphDraw found.
enum class GraphDrawStart {
    kDraw,         // go on: the graph is valid and may be drawn
    kNothingToDo,  // the draw area is empty: the draw answers 0
    kRefused,      // a bad handle, or a blend graph missing or smaller than the graph: -1
};

// The checks before a draw, in order: the empty draw area (before the handle is looked at),
// the handle, the blend graph; then the wait while the window is inactive. *graph is set for
// kDraw.
GraphDrawStart OpenGraphDraw(HandleValue handle, GraphRecord** graph);

// 1 when the draw's bracket rectangle will be used: a subtract draw of a texture graph, an
// active mask, or a draw to the front of a software screen. The rectangle is worked out only
// then.
int GraphDrawNeedsBracket(const GraphRecord* graph);

// Before the back end: the mask's bracket while a mask is active, and the read-back of the
// window's picture into a software screen's front after a present.
void BeginGraphDrawBracket(const RECT& rect);
// After it: the mask's bracket ends, and a draw to a software screen's front is shown in the
// window.
void EndGraphDrawBracket(const RECT& rect);

// 1 when the draw takes the Direct3D road with subtract emulated around it.
inline int NeedsSubtractEmulation(const GraphRecord* graph) {
    return GetDrawState().blendMode == kBlendSubtract && graph->flags.is3D ? 1 : 0;
}

// The back end of one draw: draw3D for a texture graph (with the subtract emulation around it
// in blend mode 3), else draw2D. Returns the back end's result.
template <class Draw3D, class Draw2D>
int RunGraphDrawBackEnd(const GraphRecord* graph, const RECT& bracket, Draw3D draw3D,
                        Draw2D draw2D) {
    if (NeedsSubtractEmulation(graph)) {
        BeginSubtractEmulation(&bracket);
        const int result = draw3D();
        EndSubtractEmulation(&bracket);
        return result;
    }
    return graph->flags.is3D ? draw3D() : draw2D();
}

// The whole course after the checks: bracket, back end, bracket end; the result is the back
// end's.
template <class Draw3D, class Draw2D>
int RunBracketedGraphDraw(const GraphRecord* graph, const RECT& bracket, Draw3D draw3D,
                          Draw2D draw2D) {
    BeginGraphDrawBracket(bracket);
    const int result = RunGraphDrawBackEnd(graph, bracket, draw3D, draw2D);
    EndGraphDrawBracket(bracket);
    return result;
}
