// The surfaces of the surface data records around a display change: they were made with the
// DirectDraw object (textures with the 3D device's display), so they go before the change and
// are made again afterwards, in the new display's format. Their pixels come back through the
// graphs' restore.
#include "graphics/surfaces/surface_data.h"

void RemakeOrReleaseSurfaceDataSurfaces(bool textures, bool make) {
    SurfaceDataTable& table = GetSurfaceDataTable();
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const SurfaceDataRecord* record = table.slots[slot];
        if (record == nullptr || record->software || (record->isTexture != 0) != textures) {
            continue;
        }
        const HandleValue handle = MakeHandleValue(kHandleKindSurfaceData, record->serial, slot);
        if (make) {
            CreateSurfaceDataSurface(handle);
            ApplySurfaceDataColorKey(handle);
        } else {
            ReleaseSurfaceDataSurfaces(handle);
        }
    }
}
