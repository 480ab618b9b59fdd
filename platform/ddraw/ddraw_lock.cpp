// Direct access to a surface's pixels: Lock and Unlock, and the device context that draws into
// them (GetDC and ReleaseDC), which holds the surface as a lock does.
#include <cstring>

#include "platform/ddraw/ddraw_internal.h"
#include "platform/gdi/gdi_internal.h"

namespace plat {

namespace {

constexpr uint32_t kLockFlags = DDLOCK_WAIT | DDLOCK_READONLY | DDLOCK_WRITEONLY;

bool SameArea(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

DDResult SurfaceImpl::Lock(const Rect* rect, SurfaceDesc* out, uint32_t flags) {
    const Rect area = rect != nullptr ? *rect : WholeRect(this);
    DDResult result = DD_OK;
    if (out == nullptr || (flags & ~kLockFlags) != 0 ||
        (flags & (DDLOCK_READONLY | DDLOCK_WRITEONLY)) == (DDLOCK_READONLY | DDLOCK_WRITEONLY)) {
        result = DDERR_INVALIDPARAMS;
    } else if (!RectInside(area, this)) {
        result = DDERR_INVALIDRECT;
    } else if (lost) {
        result = DDERR_SURFACELOST;
    } else if (IsBusy()) {
        result = DDERR_SURFACEBUSY;
    } else if (ConsumePending(&DDrawState().failLocks)) {
        result = DDERR_GENERIC;
    } else {
        GetSurfaceDesc(out);
        out->surface = PixelAt(area.left, area.top);
        locked = true;
        lockRect = area;
    }
    return RecordCall("Lock", serial, 0, flags, &area, result);
}

DDResult SurfaceImpl::Unlock(const Rect* rect) {
    const Rect area = rect != nullptr ? *rect : WholeRect(this);
    DDResult result = DD_OK;
    if (!locked) {
        result = DDERR_NOTLOCKED;
    } else if (!SameArea(area, lockRect)) {
        result = DDERR_INVALIDRECT;
    } else {
        locked = false;
        CheckGuards("Unlock");
        NoteSurfaceShown(this);
    }
    return RecordCall("Unlock", serial, 0, 0, &area, result);
}

DDResult SurfaceImpl::GetDC(DeviceContext** out) {
    DDResult result = DD_OK;
    if (out == nullptr) {
        result = DDERR_INVALIDPARAMS;
    } else if ((caps.caps & DDSCAPS_ZBUFFER) != 0 || (format.flags & DDPF_RGB) == 0) {
        result = DDERR_UNSUPPORTED;
    } else if (lost) {
        result = DDERR_SURFACELOST;
    } else if (dc != nullptr) {
        result = DDERR_DCALREADYCREATED;
    } else if (locked) {
        result = DDERR_SURFACEBUSY;
    } else if (ConsumePending(&DDrawState().failGetDCs)) {
        result = DDERR_GENERIC;
    } else {
        DcTarget target = {};
        target.top = pixels;
        target.rowStep = pitch;
        target.width = static_cast<int32_t>(width);
        target.height = static_cast<int32_t>(height);
        target.bitCount = format.bitCount;
        target.redMask = format.redMask;
        target.greenMask = format.greenMask;
        target.blueMask = format.blueMask;
        dc = CreateSurfaceDC(target);
        if (dc == nullptr) result = DDERR_OUTOFMEMORY;
    }
    if (out != nullptr) *out = result == DD_OK ? dc : nullptr;
    return RecordCall("GetDC", serial, 0, 0, nullptr, result);
}

DDResult SurfaceImpl::ReleaseDC(DeviceContext* given) {
    DDResult result = DD_OK;
    if (dc == nullptr || given != dc) {
        result = DDERR_NODC;
    } else {
        DestroySurfaceDC(dc);
        dc = nullptr;
        CheckGuards("ReleaseDC");
        NoteSurfaceShown(this);
    }
    return RecordCall("ReleaseDC", serial, 0, 0, nullptr, result);
}

}  // namespace plat
