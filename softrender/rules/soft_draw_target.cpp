#include "softrender/rules/soft_draw_target.h"

#include <cstring>

#include "graphics/draw_state.h"
#include "graphics/graphics_hooks.h"
#include "graphics/handle_value.h"
#include "graphics/surface_data.h"

SoftDrawTargetHooks& GetSoftDrawTargetHooks() {
    static SoftDrawTargetHooks hooks = {};
    return hooks;
}

void ResetSoftDrawTargetHooks() { GetSoftDrawTargetHooks() = SoftDrawTargetHooks{}; }

int IsSoftDrawAvailable() { return HookIsNoDirectDraw() || HookHasDirectDrawObject() ? 1 : 0; }

int IsSoftwareScreenRoad() { return HookIsScreenSoftwareDrawn() ? 1 : 0; }

MEMIMG* GetSoftScreenDestination() {
    const SoftDrawTargetHooks& hooks = GetSoftDrawTargetHooks();
    if (GetDrawState().maskActive) {
        return hooks.maskImage != nullptr ? hooks.maskImage() : nullptr;
    }
    return hooks.drawTargetImage != nullptr ? hooks.drawTargetImage() : nullptr;
}

const MEMIMG* GetBlendGraphMemImg() {
    const HandleValue handle = GetDrawState().blendGraph;
    if (handle == kNoHandle) return nullptr;
    const GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr || graph->flags.is3D) return nullptr;
    const Surface2DRecord* surface = GetSurface2D(graph->surfaces[0]);
    if (surface == nullptr) return nullptr;
    const SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr || data->image.pixels == nullptr) return nullptr;
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
    const MEMIMG& image = data->image;
    if (surface->width == data->width && surface->height == data->height) {
        if (surface2D != nullptr) *surface2D = surface;
        return &image;
    }
    // A part of shared pixels (a derived or divided graph): a view of its rectangle, which
    // must lie inside the image the view reads.
    if (static_cast<int32_t>(surface->sourceX) + surface->width > image.width ||
        static_cast<int32_t>(surface->sourceY) + surface->height > image.height) {
        return nullptr;
    }
    std::memset(view, 0, sizeof(MEMIMG));
    InitMemImgView(view, &image, surface->sourceX, surface->sourceY, surface->width,
                   surface->height);
    if (surface2D != nullptr) *surface2D = surface;
    return view;
}
