#include "graphics/draw_target/draw_target_images.h"

#include <cstring>

#include "base/log.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"

namespace {

// The view of a derived graph's rectangle, made again for each draw that asks for it.
MEMIMG gTargetView = {};

// The blend graph the last call of GetBlendGraphMemImg met (-1 none), so that a blend graph the
// software draws cannot read is logged once while it stays in use.
HandleValue gLastBlendGraph = kNoHandle;

// The software image of a 2D surface: its surface data's image when the surface covers all of
// it, else a view of its rectangle in *view. Null when the rectangle does not lie inside.
const MEMIMG* SoftImageOfSurface(const Surface2DRecord& surface, const SurfaceDataRecord& data,
                                 MEMIMG* view) {
    const MEMIMG& image = data.image;
    if (surface.width == data.width && surface.height == data.height) return &image;
    // A part of shared pixels (a derived or divided graph): a view of its rectangle, which
    // must lie inside the image the view reads.
    if (static_cast<int32_t>(surface.sourceX) + surface.width > image.width ||
        static_cast<int32_t>(surface.sourceY) + surface.height > image.height) {
        return nullptr;
    }
    std::memset(view, 0, sizeof(MEMIMG));
    InitMemImgView(view, &image, surface.sourceX, surface.sourceY, surface.width, surface.height);
    return view;
}

}  // namespace

int IsSoftDrawAvailable() {
    return ScreenSlot()->isNoDirectDraw() || ScreenSlot()->hasDirectDrawObject() ? 1 : 0;
}

int IsSoftwareScreenRoad() { return ScreenSlot()->isScreenSoftwareDrawn() ? 1 : 0; }

MEMIMG* GetDrawTargetSoftImage() {
    const HandleValue target = GetDrawState().drawTarget;
    // The first draw to the front of a software screen after a present starts from the
    // picture the window shows.
    if (target == kDrawTargetFront) ReadBackFrontScreen();
    if (target == kDrawTargetFront || target == kDrawTargetBack) {
        // The front and back screens' software images belong to the screen module.
        return ScreenSlot()->screenImage(target);
    }
    const GraphRecord* graph = GetGraphRecord(target);
    if (graph == nullptr || graph->flags.is3D) return nullptr;
    // The image lives in the graph's surface data, which the draw may write.
    const MEMIMG* image = GetGraphSoftImage(graph, &gTargetView, nullptr);
    return image != nullptr && image->pixels != nullptr ? const_cast<MEMIMG*>(image) : nullptr;
}

MEMIMG* GetSoftScreenDestination() {
    // While mask drawing is active the mask screen's image, which the mask module owns.
    return GetDrawState().maskActive ? MaskSlot()->maskImage() : GetDrawTargetSoftImage();
}

const MEMIMG* GetBlendGraphMemImg() {
    const HandleValue handle = GetDrawState().blendGraph;
    const HandleValue previous = gLastBlendGraph;
    gLastBlendGraph = handle;
    if (handle == kNoHandle) return nullptr;
    const GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr || graph->flags.is3D) return nullptr;
    const Surface2DRecord* surface = GetSurface2D(graph->surfaces[0]);
    if (surface == nullptr) return nullptr;
    const SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr) return nullptr;
    if (data->image.pixels == nullptr) {
        // A graph whose pixels lie in a DirectDraw surface has no software image for the
        // kernels to read: the draw goes on without the blend graph. Said once for each blend
        // graph that draws meet in turn, not at every draw.
        if (data->surface != nullptr && handle != previous) {
            LogWrite("ブレンドグラフィックが DirectDraw のサーフェスにあるためソフトウエア描画では"
                     "使えません、ブレンドグラフィック無しで描画します\n");
        }
        return nullptr;
    }
    return &data->image;
}

const MEMIMG* GetGraphSoftImage(const GraphRecord* graph, MEMIMG* view,
                                const Surface2DRecord** surface2D) {
    if (surface2D != nullptr) *surface2D = nullptr;
    if (graph == nullptr) return nullptr;
    const Surface2DRecord* surface = GetSurface2D(graph->surfaces[0]);
    if (surface == nullptr) return nullptr;
    const SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr) return nullptr;
    const MEMIMG* image = SoftImageOfSurface(*surface, *data, view);
    if (image != nullptr && surface2D != nullptr) *surface2D = surface;
    return image;
}

int GetGraphSurfaceSoftImage(const GraphRecord* graph, HandleValue surface2D, MEMIMG* view,
                             SoftSurfaceImage* out) {
    *out = SoftSurfaceImage{nullptr, kNoHandle, 0, 0};
    if (graph == nullptr) return -1;
    const bool own = surface2D == kNoHandle;
    const HandleValue handle = own ? graph->surfaces[0] : surface2D;
    const Surface2DRecord* surface = GetSurface2D(handle);
    if (surface == nullptr) return -1;
    const SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr) return -1;
    out->surface2D = handle;
    out->width = own ? graph->width : surface->width;
    out->height = own ? graph->height : surface->height;
    out->image = SoftImageOfSurface(*surface, *data, view);
    return 0;
}

int BeginDirectDrawSoftDraw(HandleValue surface2D, const RECT* sourceRect, const RECT* destRect,
                            SoftDrawPlace* place) {
    *place = SoftDrawPlace{nullptr, nullptr};
    const Surface2DRecord* record = nullptr;
    if (surface2D != kNoHandle) {
        record = GetSurface2D(surface2D);
        if (record == nullptr) return -1;
    }
    Device3DSlot()->endCurrentDeviceScene();
    // A kernel draws here: the target (and the 2D surface's rectangle) are locked for it,
    // never taken by BltFast.
    if (BeginSoftDrawForKernel(record, record != nullptr ? 1 : 0, sourceRect, destRect, 0,
                               nullptr, nullptr) != 0) {
        return -1;
    }
    const SoftDrawState& sd = GetSoftDrawState();
    if (sd.destImage == nullptr || (record != nullptr && sd.sourceImage == nullptr)) {
        EndSoftDraw();
        return -1;
    }
    place->destination = sd.destImage;
    place->source = sd.sourceImage;
    return 0;
}
