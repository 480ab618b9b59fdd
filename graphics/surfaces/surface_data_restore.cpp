// Lost surfaces: a record whose surface the surface layer lost gets its memory back; its
// pixels are then to be reloaded by the caller.
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"

int RestoreSurfaceDataIfLost(HandleValue handle) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    // The Z buffer holds nothing to reload; it only needs its memory back.
    if (r->zSurface != nullptr && r->zSurface->IsLost() == plat::DDERR_SURFACELOST) {
        r->zSurface->Restore();
    }
    if (r->surface == nullptr || r->surface->IsLost() != plat::DDERR_SURFACELOST) return 0;
    r->surface->Restore();
    return -1;
}
