// The graph-level transfer of the load road and of the reload of lost graphs: the graph
// remembers where its pixels came from, then its surfaces are filled.
#include "graphics/image_transfer/image_transfer.h"
#include "base/log.h"

int TransferImageToGraph(const char* name, const GraphImage* image, const GraphImage* alphaImage,
                         int32_t x, int32_t y, HandleValue handle) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    SetGraphSourceName(handle, name);
    graph->sourceX = x;
    graph->sourceY = y;
    if (graph->flags.is3D) return LogWrite("テクスチャへの画像の転送はまだ使えません\n");
    return TransferImageToGraph2D(ImageSource(image, alphaImage), x, y, graph);
}
