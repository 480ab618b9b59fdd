// The clear of the current draw target and the software road of the box fill.
#include <algorithm>
#include <cstring>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "softrender/fill/fill_rect.h"

namespace {

constexpr uint32_t kDepthFar = 0xFFFF;

int FillSurface(plat::DrawSurface* surface, const RECT& rect, uint32_t flags, uint32_t value) {
    plat::BltFx fx{};
    fx.fillColor = value;
    fx.fillDepth = value;
    const plat::Rect r = ToPlatRect(rect);
    return surface->Blt(&r, nullptr, nullptr, flags | plat::DDBLT_WAIT, &fx) == plat::DD_OK ? 0
                                                                                            : -1;
}

// Stores value into every pixel of the whole image as one row filled pixel by pixel and
// copied to every other row (the same bytes as FillMemImgRaw over the whole image).
void ClearImageRows(MEMIMG* image, uint32_t value) {
    if (image == nullptr || !MemImgHasPixels(image) || image->width <= 0) return;
    const int32_t bytes = image->colorFormat != nullptr
                              ? image->colorFormat->bytes
                              : MemImgBytesPerPixel(image->pixelFormat, image->paletted,
                                                    image->alpha);
    if (bytes != 1 && bytes != 2 && bytes != 4) return;
    uint8_t* first = image->pixels;
    for (int32_t x = 0; x < image->width; ++x) std::memcpy(first + x * bytes, &value, bytes);
    const size_t rowBytes = static_cast<size_t>(image->width) * bytes;
    for (int32_t y = 1; y < image->height; ++y) {
        std::memcpy(image->pixels + static_cast<ptrdiff_t>(y) * image->pitch, first, rowBytes);
    }
}

int ClearGraphTarget(HandleValue target, int32_t r, int32_t g, int32_t b, uint32_t fill) {
    const GraphRecord* graph = GetGraphRecord(target);
    if (graph == nullptr) return -1;
    // A texture graph is cleared by the Direct3D device's own clear.
    if (graph->flags.is3D) return 0;
    const Surface2DRecord* surface = GetSurface2D(graph->surfaces[0]);
    if (surface == nullptr) return -1;
    SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr) return -1;
    // The graph's own rectangle of its surface data: a derived graph shares its parent's
    // pixels, and clearing it must leave the rest of them alone.
    const RECT rect{surface->sourceX, surface->sourceY, surface->sourceX + surface->width,
                    surface->sourceY + surface->height};
    if (!data->software) {
        if (data->surface == nullptr) return -1;
        if (data->zSurface != nullptr) {
            FillSurface(data->zSurface, rect, plat::DDBLT_DEPTHFILL, kDepthFar);
        }
        return FillSurface(data->surface, rect, plat::DDBLT_COLORFILL, fill);
    }
    if (data->zBufferPresent && MemImgHasPixels(&data->zImage)) {
        FillMemImgRaw(&data->zImage, &rect, kDepthFar);
    }
    if (MemImgHasPixels(&data->image)) {
        FillMemImgRaw(&data->image, &rect,
                      ColorFormatRgbaToPixel(data->image.colorFormat, r, g, b, 255));
    }
    return 0;
}

}  // namespace

int ClearDrawTargetSurface() {
    if (!TargetScreenUp()) return -1;
    Device3DSlot()->endCurrentDeviceScene();
    int32_t r = 0, g = 0, b = 0;
    GetBackgroundColor(&r, &g, &b);
    const TargetScreen screen = ReadTargetScreen();
    const DrawTargetSurface& target = GetDrawTargetSurface();
    const HandleValue current = GetDrawState().drawTarget;

    if (screen.softwareScreen) {
        MEMIMG* image = GetDrawTargetSoftImage();
        if (image == nullptr || !MemImgHasPixels(image)) {
            // A graph target without a software image of its own cannot be cleared here.
            return current == kDrawTargetFront || current == kDrawTargetBack ? 0 : -1;
        }
        ClearImageRows(image, ColorFormatRgbaToPixel(image->colorFormat, r, g, b, 255));
        if (target.depthImage != nullptr) ClearImageRows(target.depthImage, kDepthFar);
        return 0;
    }

    const uint32_t fill = MakeSurfaceScreenColor(r, g, b);
    if (current != kDrawTargetFront && current != kDrawTargetBack) {
        return ClearGraphTarget(current, r, g, b, fill);
    }
    if (target.surface == nullptr) return -1;
    RECT rect{0, 0, screen.width, screen.height};
    if (current == kDrawTargetFront && screen.windowed) GetScreenRectOnDesktop(&rect);
    const int result = FillSurface(target.surface, rect, plat::DDBLT_COLORFILL, fill);
    if (current == kDrawTargetBack && screen.zSurface != nullptr) {
        FillSurface(screen.zSurface, RECT{0, 0, screen.width, screen.height},
                    plat::DDBLT_DEPTHFILL, kDepthFar);
    }
    return result;
}

int ClearCurrentScreen() {
    // Without graph management there is no draw target to clear.
    if (!GetGraphicsState().graphicsUp) return -1;
    WindowFactsSlot()->waitWhileInactive();
    // With Direct3D in use the device's clear comes first: a texture graph target is cleared
    // there (the 2D clear below leaves texture graphs to it).
    Device3DSlot()->clearTextureTarget();
    const int result = ClearDrawTargetSurface();
    const TargetScreen screen = ReadTargetScreen();
    if (screen.softwareScreen && GetDisplayDepth() != 8 &&
        GetDrawState().drawTarget == kDrawTargetFront) {
        const RECT all{0, 0, screen.width, screen.height};
        RepaintFrontRect(&all);
    }
    return result;
}

namespace {

int FillBoxUnbracketed(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    RECT rect{x1, y1, x2, y2};
    if (ReadTargetScreen().softwareScreen) {
        MEMIMG* destination = GetSoftScreenDestination();
        if (destination == nullptr || !MemImgHasPixels(destination)) return -1;
        FillMemImgRect(destination, &rect, colour, GetDrawState());
        NormalizeRect(&rect);
        ShowFrontDraw(&rect);
        return 0;
    }
    Device3DSlot()->endCurrentDeviceScene();
    NormalizeRect(&rect);
    const DrawState& draw = GetDrawState();
    // A plain fill writes without reading what is there: no work-surface copy is needed for
    // it unless the pixels must be converted.
    const int writeOnly =
        (draw.blendMode == kBlendNone ||
         (draw.blendMode == kBlendAlpha && draw.blendParam == 255)) &&
        (draw.bright & 0xFFFFFF) == kBrightWhite;
    if (BeginSoftDrawForKernel(nullptr, 0, nullptr, &rect, writeOnly, &colour, nullptr) != 0) {
        // A box entirely outside the draw area draws nothing and is no failure.
        RECT clipped = rect;
        ClipRectInPlace(&clipped, &draw.drawArea);
        return clipped.left == clipped.right || clipped.top == clipped.bottom ? 0 : -1;
    }
    FillMemImgRect(GetSoftDrawState().destImage, &rect, colour, GetDrawState());
    EndSoftDraw();
    return 0;
}

}  // namespace

int FillBoxSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    if (!TargetScreenUp()) return -1;
    if (!GetDrawState().maskActive) return FillBoxUnbracketed(x1, y1, x2, y2, colour);
    // While the mask is active the box goes into the mask screen like every other draw, and
    // the bracket carries it onto the draw target where the mask lets it through.
    RECT box{x1, y1, x2, y2};
    NormalizeRect(&box);
    MaskBracketSlot()->beginMaskBracket(&box);
    const int result = FillBoxUnbracketed(x1, y1, x2, y2, colour);
    MaskBracketSlot()->endMaskBracket(&box);
    // The bracket has changed the front image of a software screen: the window shows it.
    if (GetDrawState().drawTarget == kDrawTargetFront && ReadTargetScreen().softwareScreen &&
        GetDisplayDepth() != 8) {
        RepaintFrontRect(&box);
    }
    return result;
}
