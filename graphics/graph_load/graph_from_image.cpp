// Graphs made from decoded images: one graph of a whole image, or an image divided into tiles
// that share its pixels.
#include <cstdint>

#include "graphics/image_transfer/image_transfer.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/drivers/device_3d_driver.h"
#include "base/log.h"

namespace {

void ClearHandles(HandleValue* handles, int32_t total) {
    if (handles == nullptr) return;
    for (int32_t i = 0; i < total; ++i) handles[i] = -1;
}

}  // namespace

HandleValue CreateGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int want3D) {
    if (image == nullptr || image->pixels == nullptr) {
        LogWrite("グラフィックを作る画像がありません\n");
        return -1;
    }
    RecomputeNoUseMask(&image->colorFormat.format);
    if (alphaImage != nullptr) RecomputeNoUseMask(&alphaImage->colorFormat.format);
    Device3DSlot()->endCurrentDeviceScene();
    const HandleValue handle = CreateGraphForImage(image, alphaImage, want3D);
    if (handle == -1) return -1;
    if (TransferImageToGraph(nullptr, image, alphaImage, 0, 0, handle) != 0) {
        // A graph whose pixels could not be filled would show garbage: it is not handed out.
        LogWrite("グラフィックへの画像の転送に失敗しました\n");
        DeleteGraphHandle(handle, 0);
        return -1;
    }
    return handle;
}

HandleValue MakeGraphFromImage(GraphImage* image) {
    return CreateGraphFromGraphImage(image, nullptr, 1);
}

int CreateDivGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int32_t total,
                                 int32_t xCount, int32_t yCount, int32_t width, int32_t height,
                                 HandleValue* handles, int want3D, int mirror) {
    if (total < 1) return 0;
    if (handles == nullptr) return LogWrite("分割グラフィックのハンドル配列がありません\n");
    // Tiles are taken from x count × y count places only; a larger total would leave handles
    // that were never made.
    if (xCount < 1 || yCount < 1 || int64_t{total} > int64_t{xCount} * yCount) {
        ClearHandles(handles, total);
        return LogFormat("分割数 %d が横 %d × 縦 %d に収まりません", total, xCount, yCount);
    }
    const HandleValue parent = CreateGraphFromGraphImage(image, alphaImage, want3D);
    if (parent == -1) {
        ClearHandles(handles, total);
        return LogWrite("グラフィックの分割に失敗しました in CreateDivGraphFromGraphImage\n");
    }

    const int64_t columnStart = mirror == 1 ? int64_t{xCount - 1} * width : 0;
    const int64_t step = mirror == 1 ? -int64_t{width} : int64_t{width};
    int32_t index = 0;
    bool failed = false;
    for (int32_t row = 0; row < yCount && index < total && !failed; ++row) {
        int64_t x = columnStart;
        const int64_t y = int64_t{row} * height;
        for (int32_t column = 0; column < xCount && index < total; ++column, x += step) {
            const bool inRange = x >= INT32_MIN && x <= INT32_MAX && y <= INT32_MAX;
            const HandleValue tile =
                inRange ? DeriveGraph(static_cast<int32_t>(x), static_cast<int32_t>(y), width,
                                      height, parent)
                        : -1;
            if (tile == -1) {
                failed = true;
                break;
            }
            handles[index++] = tile;
        }
    }
    if (failed) {
        LogWrite("グラフィックの分割に失敗しました in CreateDivGraphFromGraphImage\n");
        for (int32_t i = 0; i < index; ++i) DeleteGraphHandle(handles[i], 0);
        ClearHandles(handles, total);
        DeleteGraphHandle(parent, 0);
        return -1;
    }
    // The tiles hold the pixels; the whole graph is not needed any more.
    DeleteGraphHandle(parent, 0);
    return 0;
}
