#include "graphics/graph_image_transfer.h"

#include <algorithm>

#include "graphics/draw_state.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/memimg_transfer.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_data.h"
#include "graphics/transfer_pixels.h"
#include "base/log.h"

namespace {

// The index of the first palette entry of the image that shows the colour key in the
// precision of the software image (5-6-5 for 16-bit images, 8-8-8 otherwise), or 0.
uint32_t PaletteIndexOfColorKey(const GraphImage* image, const MEMIMG& m, uint32_t colorKey) {
    const uint32_t mask = m.pixelFormat == MEMIMG_FORMAT_565 ? 0xF8FCF8u : 0xFFFFFFu;
    for (uint32_t i = 0; i < 256; ++i) {
        const PaletteEntry& e = image->colorFormat.palette[i];
        const uint32_t rgb =
            static_cast<uint32_t>(e.r) << 16 | static_cast<uint32_t>(e.g) << 8 | e.b;
        if ((rgb & mask) == (colorKey & mask)) return i;
    }
    return 0;
}

// A rectangle of the image into a locked surface at (x, y) of the record's pixels.
int TransferIntoSurface(const GraphImage* image, const GraphImage* alphaImage, const RECT& source,
                        HandleValue dataHandle, int32_t x, int32_t y) {
    if (GetDisplayDepth() == 8) {
        return LogWrite("8ビット画面のサーフェスへの画像の転送には対応していません\n");
    }
    const RECT area = {x, y, x + (source.right - source.left), y + (source.bottom - source.top)};
    int32_t pitch = 0;
    void* pixels = nullptr;
    const PaletteColorFormat* format = nullptr;
    const int locked = LockSurfaceData(dataHandle, &pitch, &pixels, 1, &area, &format);
    if (locked == -1 || format == nullptr) {
        if (locked != -1) UnlockSurfaceData(dataHandle, &area);
        return LogWrite("２Ｄサーフェスのロックに失敗しました\n");
    }
    const int result =
        TransferPixels(pixels, pitch, format, image->pixels, image->pitch, &image->colorFormat,
                       alphaImage != nullptr ? alphaImage->pixels : nullptr,
                       alphaImage != nullptr ? alphaImage->pitch : 0,
                       alphaImage != nullptr ? &alphaImage->colorFormat : nullptr, 0, 0, &source, 0,
                       0, GetDrawState().colorKey, kDitherNone, 0, 0, 0);
    UnlockSurfaceData(dataHandle, &area);
    if (result < 0) return LogWrite("サーフェスへの画像の転送に失敗しました\n");
    return 0;
}

// The part of the image that one piece shows, into the piece's pixels.
int TransferImageToPiece(const GraphImage* image, const GraphImage* alphaImage, int32_t x,
                         int32_t y, const Surface2DRecord* view) {
    SurfaceDataRecord* data = GetSurfaceData(view->surfaceData);
    if (data == nullptr) return LogWrite("グラフィックのサーフェスが見つかりません\n");

    // The piece's rectangle in the image, cut to the image (and to its alpha image).
    int64_t left = int64_t{x} + view->drawOffsetX, top = int64_t{y} + view->drawOffsetY;
    int64_t right = left + view->width, bottom = top + view->height;
    int64_t destX = view->sourceX, destY = view->sourceY;
    int64_t limitX = image->width, limitY = image->height;
    if (alphaImage != nullptr) {
        limitX = std::min<int64_t>(limitX, alphaImage->width);
        limitY = std::min<int64_t>(limitY, alphaImage->height);
    }
    if (left < 0) {
        destX -= left;
        left = 0;
    }
    if (top < 0) {
        destY -= top;
        top = 0;
    }
    right = std::min(right, limitX);
    bottom = std::min(bottom, limitY);
    if (left >= right || top >= bottom) return 0;

    int result;
    if (data->software) {
        if (data->image.paletted) {
            data->image.colorKey =
                PaletteIndexOfColorKey(image, data->image, GetDrawState().colorKey);
        }
        result = TransferGraphImageToMemImg(
            image, alphaImage, &data->image, static_cast<int32_t>(left), static_cast<int32_t>(top),
            static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top),
            static_cast<int32_t>(destX), static_cast<int32_t>(destY), 0);
    } else {
        const RECT source = {static_cast<int32_t>(left), static_cast<int32_t>(top),
                             static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
        result = TransferIntoSurface(image, alphaImage, source, view->surfaceData,
                                     static_cast<int32_t>(destX), static_cast<int32_t>(destY));
    }
    if (result != 0) return -1;
    ApplySurfaceDataColorKey(view->surfaceData);
    return 0;
}

}  // namespace

int TransferImageToGraph2D(const GraphImage* image, const GraphImage* alphaImage, int32_t sourceX,
                           int32_t sourceY, GraphRecord* graph) {
    if (image == nullptr || image->pixels == nullptr) return LogWrite("転送する画像がありません\n");
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface2DRecord* view = GetSurface2D(graph->surfaces[i]);
        if (view == nullptr) return LogWrite("グラフィックの２Ｄサーフェスが見つかりません\n");
        if (TransferImageToPiece(image, alphaImage, sourceX, sourceY, view) != 0) return -1;
    }
    return 0;
}

int TransferImageToGraph(const char* name, const GraphImage* image, const GraphImage* alphaImage,
                         int32_t sourceX, int32_t sourceY, HandleValue handle) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    SetGraphSourceName(handle, name);
    graph->sourceX = sourceX;
    graph->sourceY = sourceY;
    if (graph->flags.is3D) {
        return LogWrite("テクスチャへの画像の転送はまだ使えません\n");
    }
    return TransferImageToGraph2D(image, alphaImage, sourceX, sourceY, graph);
}
