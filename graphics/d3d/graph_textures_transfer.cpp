// Pixels into a texture graph: every piece takes the part of the image that lies under it, in
// the three ways the load, reload and refill roads place an image on a graph.
#include <algorithm>

#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/image_transfer/image_transfer_internal.h"

namespace {

// The rectangle of size (width, height) at (left, top), its far edges held inside 32 bits.
RECT RectAt(int64_t left, int64_t top, int64_t width, int64_t height) {
    const auto hold = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return RECT{hold(left), hold(top), hold(left + width), hold(top + height)};
}

// The source's pixels that lie under each piece when the source's (x, y) is the piece's
// origin as `origin` gives it.
template <class Origin>
int TransferUnderEachPiece(const ImageTransferSource& source, const GraphRecord* graph,
                           Origin origin) {
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
        if (piece == nullptr) return -1;
        int64_t left = 0, top = 0;
        origin(*piece, &left, &top);
        const RECT sourceRect = RectAt(left, top, piece->width, piece->height);
        if (TransferImageToTexturePiece(source, &sourceRect, piece->textureX, piece->textureY,
                                        graph->surfaces[i], 1) != 0) {
            return -1;
        }
    }
    return 0;
}

}  // namespace

int TransferImageToGraphTextures(const GraphImage* image, const GraphImage* alphaImage,
                                 const GraphRecord* graph) {
    return TransferUnderEachPiece(ImageSource(image, alphaImage), graph,
                                  [](const Surface3DData& piece, int64_t* left, int64_t* top) {
                                      *left = piece.sourceX;
                                      *top = piece.sourceY;
                                  });
}

int TransferSourceOffsetToGraphTextures(const ImageTransferSource& source, int32_t x, int32_t y,
                                        const GraphRecord* graph) {
    return TransferUnderEachPiece(source, graph,
                                  [x, y](const Surface3DData& piece, int64_t* left, int64_t* top) {
                                      *left = int64_t{piece.x} + x;
                                      *top = int64_t{piece.y} + y;
                                  });
}

int TransferImageOffsetToGraphTextures(const GraphImage* image, int32_t x, int32_t y,
                                       const GraphRecord* graph) {
    return TransferSourceOffsetToGraphTextures(ImageSource(image, nullptr), x, y, graph);
}

int TransferImageRectToGraphTextures(const GraphImage* image, const RECT* rect, int32_t x,
                                     int32_t y, const GraphRecord* graph) {
    return TransferSourceRectToGraphTextures(ImageSource(image, nullptr), rect, x, y, graph, 1);
}

int TransferSourceRectToGraphTextures(const ImageTransferSource& source, const RECT* rect,
                                      int32_t x, int32_t y, const GraphRecord* graph,
                                      int keyToAlpha) {
    RECT whole;
    if (rect == nullptr) {
        ResolvedTransferSource resolved;
        if (ResolveTransferSource(source, &resolved) != 0) return -1;
        whole = RECT{0, 0, resolved.colour.width, resolved.colour.height};
        ReleaseTransferSource(&resolved);
        rect = &whole;
    }
    // The destination rectangle in graph coordinates.
    const int64_t destLeft = x, destTop = y;
    const int64_t destRight = destLeft + (int64_t{rect->right} - rect->left);
    const int64_t destBottom = destTop + (int64_t{rect->bottom} - rect->top);
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
        if (piece == nullptr) return -1;
        const int64_t left = std::max<int64_t>(destLeft, piece->x);
        const int64_t top = std::max<int64_t>(destTop, piece->y);
        const int64_t right = std::min<int64_t>(destRight, int64_t{piece->x} + piece->width);
        const int64_t bottom = std::min<int64_t>(destBottom, int64_t{piece->y} + piece->height);
        if (left >= right || top >= bottom) continue;
        const RECT share = RectAt(rect->left + (left - destLeft), rect->top + (top - destTop),
                                  right - left, bottom - top);
        if (TransferImageToTexturePiece(
                source, &share, static_cast<int32_t>(piece->textureX + (left - piece->x)),
                static_cast<int32_t>(piece->textureY + (top - piece->y)), graph->surfaces[i],
                keyToAlpha) != 0) {
            return -1;
        }
    }
    return 0;
}
