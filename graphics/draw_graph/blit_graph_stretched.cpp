// The graph stretched onto a rectangle; reversed corners mirror it.
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"

int BlitGraphStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2, HandleValue handle,
                       int32_t transFlag) {
    GraphRecord* graph = nullptr;
    switch (OpenGraphDraw(handle, &graph)) {
        case GraphDrawStart::kNothingToDo: return 0;
        case GraphDrawStart::kRefused: return -1;
        case GraphDrawStart::kDraw: break;
    }
    const RECT bracket =
        GraphDrawNeedsBracket(graph) ? BracketStretched(x1, y1, x2, y2) : RECT{};
    // A movie overlay is enlarged by the whole number of times the rectangle holds the graph.
    const int32_t overlayScale = graph->width > 0
                                     ? static_cast<int32_t>((int64_t{x2} - x1) / graph->width)
                                     : 0;
    if (PrepareMovieGraph(graph, 1, overlayScale, x1, y1)) return -1;
    // Both back ends take the corners as given, so that reversed ones mirror.
    return RunBracketedGraphDraw(
        graph, bracket,
        [&] {
            return GraphDraw3DSlot()->blitGraphStretched3D(x1, y1, x2, y2, graph, transFlag, 1);
        },
        [&] { return BlitGraphStretched2D(x1, y1, x2, y2, graph, transFlag); });
}

int BlitGraphStretched2D(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const GraphRecord* graph,
                         int32_t transFlag) {
    return BlitGraphStretchedSoft(x1, y1, x2, y2, graph, transFlag, 1, kNoHandle);
}
