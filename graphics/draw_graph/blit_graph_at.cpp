// The graph unscaled at a point: the road of every sprite the game draws.
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_target/draw_target.h"

int BlitGraphAt(int32_t x, int32_t y, HandleValue handle, int32_t transFlag) {
    GraphRecord* graph = nullptr;
    switch (OpenGraphDraw(handle, &graph)) {
        case GraphDrawStart::kNothingToDo: return 0;
        case GraphDrawStart::kRefused: return -1;
        case GraphDrawStart::kDraw: break;
    }
    const RECT bracket =
        GraphDrawNeedsBracket(graph) ? BracketAt(x, y, graph->width, graph->height) : RECT{};
    if (PrepareMovieGraph(graph, 1, 1, x, y)) return -1;
    return RunBracketedGraphDraw(
        graph, bracket,
        [&] { return GraphDraw3DSlot()->blitGraph3D(x, y, graph, transFlag, 1); },
        [&] { return BlitGraph2D(x, y, graph, transFlag, 1); });
}
