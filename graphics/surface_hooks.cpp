// Plugs the surface records into the graph layer.
#include "graphics/direct_draw_object.h"
#include "graphics/graphics_hooks.h"
#include "graphics/surface_2d.h"

void InstallSurfaceRecordHooks() {
    GraphicsHooks& hooks = GetGraphicsHooks();
    hooks.createGraphSurface2D = CreateGraphSurface2D;
    hooks.deriveGraphSurface2D = DeriveGraphSurface2D;
    hooks.releaseGraphSurface2Ds = DeleteGraphSurface2Ds;
    hooks.fillGraphSurface2Ds = FillGraphSurface2Ds;
    hooks.restoreGraphSurface2Ds = RestoreGraphSurface2Ds;
    hooks.clearSurfaceTables = ClearSurfaceTables;
    if (hooks.hasDirectDrawObject == nullptr) hooks.hasDirectDrawObject = HasStoredDirectDrawObject;
}
