// Capturing a rectangle of the draw target into a graph: texture graphs through the Direct3D
// device's readback; other graphs, of the rectangle's size, by a surface blit, a conversion
// through a lock, or a software-image copy, by where the two sets of pixels live.
#include <cstring>

#include "base/log.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/pixels/memimg_transfer.h"
#include "graphics/screen_save/screen_save.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

// Sets the bits of mask in every pixel of w x h at pixels (1, 2 or 4 bytes a pixel).
void SetNoUseBits(uint8_t* pixels, int32_t pitch, int32_t w, int32_t h, int bytes,
                  uint32_t mask) {
    if (mask == 0 || (bytes != 2 && bytes != 4)) return;
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        for (int32_t x = 0; x < w; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, row + x * bytes, bytes);
            v |= mask;
            std::memcpy(row + x * bytes, &v, bytes);
        }
    }
}

const PaletteColorFormat* ImageFormat(const MEMIMG& image) {
    return GetStandardColorFormat(image.pixelFormat, image.alpha, image.paletted);
}

// Converts w x h pixels at from (in fromFormat) into the locked graph surface at to.
void ConvertInto(uint8_t* to, int32_t toPitch, const PaletteColorFormat* toFormat,
                 const uint8_t* from, int32_t fromPitch, const PaletteColorFormat* fromFormat,
                 int32_t w, int32_t h) {
    const RECT all{0, 0, w, h};
    TransferPixels(to, toPitch, toFormat, from, fromPitch, fromFormat, nullptr, 0, nullptr, 0, 0,
                   &all, 0, 0, 0, kDitherNone, 0, 0, 0);
}

}  // namespace

int CaptureScreenToGraph2D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph) {
    if (!TargetScreenUp()) return -1;
    Device3DSlot()->endCurrentDeviceScene();
    const int64_t w = int64_t{x2} - x1;
    const int64_t h = int64_t{y2} - y1;
    const DrawState& draw = GetDrawState();
    if (graph == nullptr || w < 1 || h < 1 || w != graph->width || h != graph->height ||
        x1 < 0 || y1 < 0 || x2 > draw.targetWidth || y2 > draw.targetHeight) {
        return -1;
    }
    const Surface2DRecord* view = GetSurface2D(graph->surfaces[0]);
    SurfaceDataRecord* data = view != nullptr ? GetSurfaceData(view->surfaceData) : nullptr;
    if (data == nullptr) return -1;
    const int32_t width = static_cast<int32_t>(w);
    const int32_t height = static_cast<int32_t>(h);
    const RECT rect{x1, y1, x2, y2};
    const int32_t toX = view->sourceX, toY = view->sourceY;
    const TargetScreen screen = ReadTargetScreen();
    const DrawTargetSurface& target = GetDrawTargetSurface();

    if (screen.softwareScreen) {
        if (draw.drawTarget == kDrawTargetFront) ReadBackFrontScreen();
        if (!data->software || target.image == nullptr) return -1;
        return TransferMemImgRect(&data->image, target.image, &rect, toX, toY) == 0 ? 0 : -1;
    }

    RECT origin{0, 0, 0, 0};
    if (draw.drawTarget == kDrawTargetFront) GetScreenRectOnDesktop(&origin);
    const RECT onSurface{rect.left + target.offsetX + origin.left,
                         rect.top + target.offsetY + origin.top,
                         rect.right + target.offsetX + origin.left,
                         rect.bottom + target.offsetY + origin.top};
    const PaletteColorFormat* screenFormat = screen.screenFormat;
    const uint32_t noUse = screenFormat != nullptr ? screenFormat->format.noUseMask : 0;
    const plat::Rect graphRect{toX, toY, toX + width, toY + height};

    if (!data->software) {
        if (data->surface == nullptr || screenFormat == nullptr) return -1;
        if (target.surface != nullptr) {
            const plat::Rect from = ToPlatRect(onSurface);
            if (data->surface->Blt(&graphRect, target.surface, &from, plat::DDBLT_WAIT,
                                   nullptr) != plat::DD_OK) {
                return LogWrite("画面からグラフィックへの転送に失敗しました\n");
            }
            if (noUse == 0) return 0;
        } else if (target.image == nullptr || !MemImgHasPixels(target.image)) {
            return -1;
        }
        plat::SurfaceDesc desc{};
        if (data->surface->Lock(&graphRect, &desc, plat::DDLOCK_WAIT) != plat::DD_OK) return -1;
        auto* pixels = static_cast<uint8_t*>(desc.surface);
        if (target.surface == nullptr) {
            const MEMIMG& image = *target.image;
            const int bytes = image.colorFormat->bytes;
            ConvertInto(pixels, desc.pitch, screenFormat,
                        image.pixels + static_cast<ptrdiff_t>(rect.top) * image.pitch +
                            static_cast<ptrdiff_t>(rect.left) * bytes,
                        image.pitch, ImageFormat(image), width, height);
        }
        SetNoUseBits(pixels, desc.pitch, width, height, screenFormat->format.bytes, noUse);
        data->surface->Unlock(&graphRect);
        return 0;
    }

    MEMIMG& graphImage = data->image;
    if (!MemImgHasPixels(&graphImage)) return -1;
    if (target.surface == nullptr) {
        if (target.image == nullptr) return -1;
        return TransferMemImgRect(&graphImage, target.image, &rect, toX, toY) == 0 ? 0 : -1;
    }
    if (screenFormat == nullptr || screen.work == nullptr ||
        CopySurfaceRect(screen.work, target.surface, 0, 0, &onSurface, -1) != 0) {
        return LogWrite("作業用サーフェスへの転送に失敗しました\n");
    }
    plat::SurfaceDesc desc{};
    if (screen.work->Lock(nullptr, &desc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) !=
        plat::DD_OK) {
        return LogWrite("作業用サーフェスのロックに失敗しました\n");
    }
    const PaletteColorFormat* graphFormat = ImageFormat(graphImage);
    const int bytes = graphFormat->format.bytes;
    uint8_t* to = graphImage.pixels + static_cast<ptrdiff_t>(toY) * graphImage.pitch +
                  static_cast<ptrdiff_t>(toX) * bytes;
    // The image's fourth byte stays as the conversion leaves it: the software renderer
    // compares whole 32-bit pixels with the colour key, so ones there would hide the key.
    ConvertInto(to, graphImage.pitch, graphFormat, static_cast<const uint8_t*>(desc.surface),
                desc.pitch, screenFormat, width, height);
    screen.work->Unlock(nullptr);
    return 0;
}

int CaptureScreenToGraph(int32_t x1, int32_t y1, int32_t x2, int32_t y2, HandleValue graph,
                         int32_t screenSizeFlag) {
    const GraphRecord* record = GetGraphRecord(graph);
    if (record == nullptr) return -1;
    WindowFactsSlot()->waitWhileInactive();
    Device3DSlot()->endCurrentDeviceScene();
    if (record->flags.is3D) {
        return Device3DSlot()->captureScreenToGraph3D(x1, y1, x2, y2, record, screenSizeFlag);
    }
    return CaptureScreenToGraph2D(x1, y1, x2, y2, record);
}
