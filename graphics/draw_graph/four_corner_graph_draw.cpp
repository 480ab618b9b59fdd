// The graph onto four free corners.
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_graph/soft_road/quad_graph_soft.h"

int BlitGraphQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                  HandleValue handle, int32_t transFlag) {
    GraphRecord* graph = nullptr;
    switch (OpenGraphDraw(handle, &graph)) {
        case GraphDrawStart::kNothingToDo: return 0;
        case GraphDrawStart::kRefused: return -1;
        case GraphDrawStart::kDraw: break;
    }
    const float corners[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
    const RECT bracket = GraphDrawNeedsBracket(graph) ? BracketQuad(corners) : RECT{};
    PrepareMovieGraph(graph, 0, 0, 0, 0);
    // The caller goes round the graph (top-left, top-right, bottom-right, bottom-left); the
    // back ends take the corners row by row, so the third and fourth change places.
    return RunBracketedGraphDraw(
        graph, bracket,
        [&] {
            return GraphDraw3DSlot()->blitGraphQuad3D(x1, y1, x2, y2, x4, y4, x3, y3, graph,
                                                      transFlag);
        },
        [&] { return DrawGraphQuadSoftFloat(x1, y1, x2, y2, x4, y4, x3, y3, graph, transFlag); });
}
