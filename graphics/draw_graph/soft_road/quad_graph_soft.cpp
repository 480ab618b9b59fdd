#include "graphics/draw_graph/soft_road/quad_graph_soft.h"

#include "base/number_routines.h"
#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"
#include "graphics/graphs/graph_handle_table.h"

int DrawGraphQuadSoft(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      int32_t x3, int32_t y3, const GraphRecord* graph, int32_t transFlag) {
    // Without a graph the triangle draw would fill the quad with colour 0.
    if (graph == nullptr) return -1;
    const int32_t w = graph->width, h = graph->height;
    const int32_t first[12] = {x0, y0, 0, 0, x1, y1, w, 0, x2, y2, 0, h};
    const int32_t second[12] = {x1, y1, w, 0, x2, y2, 0, h, x3, y3, w, h};
    DrawGraphTriangleSoft(first, graph, transFlag, 0);
    DrawGraphTriangleSoft(second, graph, transFlag, 0);
    return 0;
}

int DrawGraphQuadSoftFloat(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                           float y3, const GraphRecord* graph, int32_t transFlag) {
    return DrawGraphQuadSoft(FloatToInt(x0), FloatToInt(y0), FloatToInt(x1), FloatToInt(y1),
                             FloatToInt(x2), FloatToInt(y2), FloatToInt(x3), FloatToInt(y3), graph,
                             transFlag);
}
