// A part of a graph at a point: the whole graph drawn so that the part lands at (x, y), with
// the draw area narrowed to the part's place.
#include "graphics/draw_graph/coordinate_math.h"
#include "graphics/draw_graph/draw_area_narrowing.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/graphs/graph_handle_table.h"

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
