// The 2D surfaces of graphs: making a graph's view, deriving one from a parent graph, deleting,
// restoring and filling them.
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"

namespace {

bool ScreenUp() { return ScreenSlot()->isNoDirectDraw() || ScreenSlot()->hasDirectDrawObject(); }

}  // namespace

int CreateGraphSurface2D(GraphRecord* graph) {
    if (!ScreenUp()) return -1;
    const HandleValue view = AddSurface2D(graph->width, graph->height, 0, 0, graph->handle,
                                          nullptr, 0, 0, graph->flags);
    if (view < 0) return -1;
    graph->surfaces[0] = view;
    graph->surfaceCount = 1;
    return 0;
}

int DeriveGraphSurface2D(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                         int32_t height, GraphRecord* parent) {
    const Surface2DRecord* parentView =
        parent->surfaceCount > 0 ? GetSurface2D(parent->surfaces[0]) : nullptr;
    if (parentView == nullptr) return -1;
    const HandleValue view =
        AddSurface2D(width, height, 0, 0, graph->handle, parentView, x, y, graph->flags);
    if (view < 0) return -1;
    graph->surfaces[0] = view;
    graph->surfaceCount = 1;
    return 0;
}

int DeleteGraphSurface2Ds(GraphRecord* graph) {
    int result = 0;
    for (int32_t i = 0; i < graph->surfaceCount; ++i) {
        result |= DeleteSurface2D(graph->surfaces[i]);
        graph->surfaces[i] = kNoHandle;
    }
    graph->surfaceCount = 0;
    return result;
}

int RestoreGraphSurface2Ds(GraphRecord* graph) {
    if (!ScreenUp()) return -1;
    int result = 0;
    for (int32_t i = 0; i < graph->surfaceCount; ++i) {
        const Surface2DRecord* view = GetSurface2D(graph->surfaces[i]);
        if (view == nullptr) return -1;
        result |= RestoreSurfaceDataIfLost(view->surfaceData);
    }
    // Restored memory holds no picture until the graph is reloaded.
    if (result != 0) graph->lost = 1;
    return result;
}

int RestoreLostSurface2Ds() {
    int result = 0;
    result |= ScreenSlot()->restoreScreenSurfaces();
    const Surface2DTable& table = GetSurface2DTable();
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const Surface2DRecord* view = table.slots[slot];
        if (view != nullptr) result |= RestoreSurfaceDataIfLost(view->surfaceData);
    }
    return result;
}

int FillGraphSurface2Ds(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a) {
    if (!ScreenUp()) return -1;
    Device3DSlot()->endCurrentDeviceScene();
    for (int32_t i = 0; i < graph->surfaceCount; ++i) {
        const Surface2DRecord* view = GetSurface2D(graph->surfaces[i]);
        if (view == nullptr) return -1;
        if (FillSurfaceData(view->surfaceData, r, g, b, a) != 0) return -1;
    }
    return 0;
}
