// The graph mirrored left to right: a stretched draw with the horizontal corners reversed.
#include "graphics/draw_graph/coordinate_math.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/graphs/graph_handle_table.h"

int BlitGraphTurned(int32_t x, int32_t y, HandleValue handle, int32_t transFlag) {
    const GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    return BlitGraphStretched(AddSaturated(x, graph->width), y, x, AddSaturated(y, graph->height),
                              handle, transFlag);
}
