// A rectangle of a source put at a place of a graph: only the pieces that the destination
// rectangle meets are touched, each with its share of the rectangle.
#include <algorithm>

#include "graphics/image_transfer/image_transfer_internal.h"
#include "graphics/surfaces/surface_2d.h"
#include "base/log.h"

int RefillGraph2DFromImage(const ImageTransferSource& source, const RECT* sourceRect, int32_t x,
                           int32_t y, GraphRecord* graph, int keyToAlpha) {
    RECT whole;
    if (sourceRect == nullptr) {
        ResolvedTransferSource resolved;
        if (ResolveTransferSource(source, &resolved) != 0) return -1;
        whole = RECT{0, 0, resolved.colour.width, resolved.colour.height};
        ReleaseTransferSource(&resolved);
        sourceRect = &whole;
    }
    // The destination rectangle in graph coordinates.
    const int64_t destLeft = x, destTop = y;
    const int64_t destRight = destLeft + (int64_t{sourceRect->right} - sourceRect->left);
    const int64_t destBottom = destTop + (int64_t{sourceRect->bottom} - sourceRect->top);
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface2DRecord* piece = GetSurface2D(graph->surfaces[i]);
        if (piece == nullptr) return LogWrite("グラフィックの２Ｄサーフェスが見つかりません\n");
        const int64_t left = std::max<int64_t>(destLeft, piece->drawOffsetX);
        const int64_t top = std::max<int64_t>(destTop, piece->drawOffsetY);
        const int64_t right = std::min<int64_t>(destRight, int64_t{piece->drawOffsetX} + piece->width);
        const int64_t bottom =
            std::min<int64_t>(destBottom, int64_t{piece->drawOffsetY} + piece->height);
        if (left >= right || top >= bottom) continue;
        // The share of the source that lands on this piece.
        const RECT share = {static_cast<int32_t>(sourceRect->left + (left - destLeft)),
                            static_cast<int32_t>(sourceRect->top + (top - destTop)),
                            static_cast<int32_t>(sourceRect->left + (right - destLeft)),
                            static_cast<int32_t>(sourceRect->top + (bottom - destTop))};
        if (TransferImageToSurface2DAt(source, &share, static_cast<int32_t>(left),
                                       static_cast<int32_t>(top), graph->surfaces[i],
                                       keyToAlpha) != 0) {
            return -1;
        }
    }
    return 0;
}
