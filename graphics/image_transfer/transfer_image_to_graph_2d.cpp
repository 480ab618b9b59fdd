// A whole graph filled from a source, piece by piece: each piece takes the part of the source
// that lies under it when the graph's top-left corner sits at (x, y) of the source.
#include <algorithm>

#include "graphics/image_transfer/image_transfer.h"
#include "graphics/surfaces/surface_2d.h"
#include "base/log.h"

int TransferImageToGraph2D(const ImageTransferSource& source, int32_t x, int32_t y,
                           GraphRecord* graph) {
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface2DRecord* piece = GetSurface2D(graph->surfaces[i]);
        if (piece == nullptr) return LogWrite("グラフィックの２Ｄサーフェスが見つかりません\n");
        const int64_t left = int64_t{x} + piece->drawOffsetX;
        const int64_t top = int64_t{y} + piece->drawOffsetY;
        if (left > INT32_MAX || top > INT32_MAX) continue;  // the piece lies past the source
        const RECT sourceRect = {static_cast<int32_t>(left), static_cast<int32_t>(top),
                                 static_cast<int32_t>(std::min<int64_t>(left + piece->width, INT32_MAX)),
                                 static_cast<int32_t>(std::min<int64_t>(top + piece->height, INT32_MAX))};
        if (TransferImageToSurface2DAt(source, &sourceRect, piece->drawOffsetX, piece->drawOffsetY,
                                       graph->surfaces[i], 0) != 0) {
            return -1;
        }
    }
    return 0;
}
