// The graph-level transfer of the load road and of the reload of lost graphs: the graph
// remembers where its pixels came from, then its surfaces (2D pieces or texture pieces) are
// filled.
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/image_transfer/image_transfer.h"

int TransferImageToGraph(const char* name, const GraphImage* image, const GraphImage* alphaImage,
                         int32_t x, int32_t y, HandleValue handle) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    SetGraphSourceName(handle, name);
    graph->sourceX = x;
    graph->sourceY = y;
    const ImageTransferSource source = ImageSource(image, alphaImage);
    if (graph->flags.is3D) {
        return TexturePieceAccessSlot()->transferSourceOffset(source, x, y, graph);
    }
    return TransferImageToGraph2D(source, x, y, graph);
}
