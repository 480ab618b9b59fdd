// The stretched graph draws: the graph stretched onto a rectangle (reversed corners mirror
// it), its 2D road alone, the graph mirrored left to right (a stretched draw with the
// horizontal corners reversed), and a part of a graph stretched onto a rectangle (the whole
// graph stretched by the same factors, placed so that the part covers the rectangle, with the
// draw area narrowed to the rectangle).
#include "base/log.h"
#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/coordinate_math.h"
#include "graphics/draw_graph/draw_area_narrowing.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_course.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "graphics/graphs/graph_handle_table.h"

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

int BlitGraphTurned(int32_t x, int32_t y, HandleValue handle, int32_t transFlag) {
    const GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    return BlitGraphStretched(AddSaturated(x, graph->width), y, x, AddSaturated(y, graph->height),
                              handle, transFlag);
}

namespace {

// The whole graph's two edges along one axis: the part [src, src + its size) of a graph of
// graphSize pixels, stretched by factor, covers [low, high); reversed: from high down to low.
void StretchedGraphEdges(int32_t low, int32_t high, bool reversed, int32_t src,
                         int32_t graphSize, double factor, int32_t* first, int32_t* second) {
    const int64_t before = RoundToNearestInt(src * factor);
    const int64_t after = RoundToNearestInt((int64_t{graphSize} - src) * factor);
    if (!reversed) {
        *first = ClampToInt32(low - before);
        *second = ClampToInt32(low + after);
    } else {
        *first = ClampToInt32(high + before);
        *second = ClampToInt32(high - after);
    }
}

}  // namespace

int BlitGraphRectStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t srcX,
                           int32_t srcY, int32_t srcW, int32_t srcH, HandleValue handle,
                           int32_t transFlag) {
    const GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    // The factors divide by the part's size: an empty or inverted part has none.
    if (srcW <= 0 || srcH <= 0) {
        return LogFormat("BlitGraphRectStretched: 描画元の大きさが不正です (%d x %d)", srcW, srcH);
    }
    const bool reversedX = x1 > x2;
    const bool reversedY = y1 > y2;
    const int32_t minX = reversedX ? x2 : x1, maxX = reversedX ? x1 : x2;
    const int32_t minY = reversedY ? y2 : y1, maxY = reversedY ? y1 : y2;

    const SavedDrawArea saved = NarrowDrawArea(RECT{minX, minY, maxX, maxY});
    const double sx = (static_cast<double>(maxX) - minX) / srcW;
    const double sy = (static_cast<double>(maxY) - minY) / srcH;
    int32_t gx1 = 0, gx2 = 0, gy1 = 0, gy2 = 0;
    StretchedGraphEdges(minX, maxX, reversedX, srcX, graph->width, sx, &gx1, &gx2);
    StretchedGraphEdges(minY, maxY, reversedY, srcY, graph->height, sy, &gy1, &gy2);
    const int result = BlitGraphStretched(gx1, gy1, gx2, gy2, handle, transFlag);
    RestoreDrawArea(saved);
    return result;
}
