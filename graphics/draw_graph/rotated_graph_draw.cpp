// The graph scaled and turned about its centre, from float or integer coordinates.
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"

int BlitGraphRotated(float x, float y, double scale, double angle, HandleValue handle,
                     int32_t transFlag, int32_t turnFlag) {
    GraphRecord* graph = nullptr;
    switch (OpenGraphDraw(handle, &graph)) {
        case GraphDrawStart::kNothingToDo: return 0;
        case GraphDrawStart::kRefused: return -1;
        case GraphDrawStart::kDraw: break;
    }
    const RECT bracket = GraphDrawNeedsBracket(graph)
                             ? BracketRotated(x, y, scale, angle, graph->width, graph->height)
                             : RECT{};
    PrepareMovieGraph(graph, 0, 0, 0, 0);
    return RunBracketedGraphDraw(
        graph, bracket,
        [&] {
            return GraphDraw3DSlot()->blitGraphRotated3D(x, y, scale, angle, graph, transFlag,
                                                         turnFlag);
        },
        [&] { return BlitGraphRotatedSoft(x, y, scale, angle, graph, transFlag, turnFlag); });
}

int BlitGraphRotatedInt(int32_t x, int32_t y, double scale, double angle, HandleValue handle,
                        int32_t transFlag, int32_t turnFlag) {
    return BlitGraphRotated(static_cast<float>(x), static_cast<float>(y), scale, angle, handle,
                            transFlag, turnFlag);
}
