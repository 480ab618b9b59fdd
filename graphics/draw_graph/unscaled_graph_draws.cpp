// The unscaled graph draws: the graph at a point (the road of every sprite the game draws),
// and a part of a graph at a point, drawn as the whole graph placed so that the part lands at
// (x, y) with the draw area narrowed to the part's place.
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/coordinate_math.h"
#include "graphics/draw_graph/draw_area_narrowing.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"

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

int BlitGraphRect(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t width,
                  int32_t height, HandleValue handle, int32_t transFlag, int32_t turnFlag) {
    const SavedDrawArea saved =
        NarrowDrawArea(RECT{x, y, AddSaturated(x, width), AddSaturated(y, height)});
    const int32_t top = ClampToInt32(int64_t{y} - srcY);
    int result = -1;
    if (!turnFlag) {
        result = BlitGraphAt(ClampToInt32(int64_t{x} - srcX), top, handle, transFlag);
    } else if (const GraphRecord* graph = GetGraphRecord(handle); graph != nullptr) {
        // The mirrored graph's column srcX lands on the part's right edge, so the part shows
        // mirrored in its own place.
        const int64_t left = int64_t{x} - graph->width + srcX + width;
        result = BlitGraphTurned(ClampToInt32(left), top, handle, transFlag);
    }
    RestoreDrawArea(saved);
    return result;
}
