// Direct access to a record's pixels: nested locks of one rectangle, released by the outermost
// unlock.
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "base/log.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The pixels' format of a record: the texture format, the image's standard format, or the
// screen's.
const PaletteColorFormat* RecordFormat(const SurfaceDataRecord* r) {
    if (r->software) {
        return GetStandardColorFormat(r->image.pixelFormat, r->image.alpha, r->image.paletted);
    }
    if (r->isTexture) {
        return DeviceTextureColorFormat(static_cast<int>(r->formatNumber));
    }
    return GetSurfaceScreenFormat();
}

}  // namespace

int LockSurfaceData(HandleValue handle, int32_t* pitch, void** pointer, int writeOnly,
                    const RECT* rect, const PaletteColorFormat** format) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    if (format != nullptr) *format = RecordFormat(r);
    const RECT area = rect != nullptr ? *rect : RECT{0, 0, r->width, r->height};

    if (r->lockCount > 0) {
        // A nested lock hands out the outer lock's pointer, which is right only for the same
        // rectangle.
        if (!SameRect(area, r->lockedRect)) {
            return LogFormat("ロック中のグラフィックを別の矩形でロックしようとしました");
        }
        *pointer = r->lockedPointer;
        *pitch = r->lockedPitch;
        ++r->lockCount;
        return -2;
    }
    if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        area.right > r->width || area.bottom > r->height) {
        return LogFormat("ロックする矩形がグラフィックの外にあります (%d, %d, %d, %d)", area.left,
                         area.top, area.right, area.bottom);
    }

    if (r->software) {
        if (!MemImgHasPixels(&r->image)) return LogFormat("グラフィックのロックに失敗しました");
        const int bytes = MemImgBytesPerPixel(r->image.pixelFormat, r->image.paletted, r->image.alpha);
        r->lockedPointer = r->image.pixels + static_cast<int64_t>(area.top) * r->image.pitch +
                           static_cast<int64_t>(area.left) * bytes;
        r->lockedPitch = r->image.pitch;
    } else {
        if (r->surface == nullptr) return LogFormat("グラフィックのロックに失敗しました");
        const plat::Rect platRect = {area.left, area.top, area.right, area.bottom};
        plat::SurfaceDesc desc;
        const uint32_t flags = plat::DDLOCK_WAIT | (writeOnly == 1 ? plat::DDLOCK_WRITEONLY : 0);
        if (r->surface->Lock(&platRect, &desc, flags) != plat::DD_OK) {
            return LogFormat("グラフィックのロックに失敗しました");
        }
        r->lockedPointer = desc.surface;
        r->lockedPitch = desc.pitch;
    }
    r->lockedRect = area;
    *pointer = r->lockedPointer;
    *pitch = r->lockedPitch;
    r->lockCount = 1;
    return 0;
}

int UnlockSurfaceData(HandleValue handle, const RECT*) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr || r->lockCount <= 0) return -1;
    if (--r->lockCount == 0) {
        if (!r->software && r->surface != nullptr) {
            const plat::Rect platRect = {r->lockedRect.left, r->lockedRect.top,
                                         r->lockedRect.right, r->lockedRect.bottom};
            r->surface->Unlock(&platRect);
        }
        r->lockedPointer = nullptr;
        r->lockedPitch = 0;
    }
    return 0;
}
