// Device contexts and DIB sections: memory device contexts, the bitmaps selected into them,
// and the device contexts that draw into surfaces.
#include <cstdlib>

#include "platform/gdi/gdi_internal.h"

namespace plat {

namespace {

// Bytes of a DIB section's pixels may not reach 2^31.
constexpr uint64_t kMaxBitmapBytes = 0x7FFFFFFF;

}  // namespace

DeviceContext* CreateCompatibleDC(DeviceContext*) {
    auto* dc = new DeviceContext();
    dc->isSurface = false;
    dc->selected = nullptr;
    return dc;
}

bool DeleteDC(DeviceContext* dc) {
    if (dc == nullptr || dc->isSurface || dc->isWindow) return false;
    if (dc->selected != nullptr) --dc->selected->selections;
    delete dc;
    return true;
}

DeviceContext* CreateSurfaceDC(const DcTarget& target) {
    auto* dc = new DeviceContext();
    dc->isSurface = true;
    dc->selected = nullptr;
    dc->surfaceTarget = target;
    return dc;
}

void DestroySurfaceDC(DeviceContext* dc) { delete dc; }

bool GetDCTarget(const DeviceContext* dc, DcTarget* out) {
    if (dc == nullptr) return false;
    if (dc->isWindow) return GetWindowDCTarget(dc->window, out);
    if (dc->isSurface) {
        *out = dc->surfaceTarget;
        out->originX = out->originY = 0;
        out->clip = Rect{0, 0, out->width, out->height};
        return true;
    }
    const Bitmap* bitmap = dc->selected;
    if (bitmap == nullptr) return false;
    DcTarget target = {};
    target.width = bitmap->width;
    target.height = bitmap->height;
    target.bitCount = bitmap->bitCount;
    if (bitmap->topDown) {
        target.top = bitmap->bits;
        target.rowStep = bitmap->widthBytes;
    } else {
        target.top = bitmap->bits + static_cast<int64_t>(bitmap->height - 1) * bitmap->widthBytes;
        target.rowStep = -static_cast<int64_t>(bitmap->widthBytes);
    }
    if (bitmap->redMask != 0 || bitmap->greenMask != 0 || bitmap->blueMask != 0) {
        target.redMask = bitmap->redMask;
        target.greenMask = bitmap->greenMask;
        target.blueMask = bitmap->blueMask;
    } else if (bitmap->bitCount == 32) {
        target.redMask = 0xFF0000;
        target.greenMask = 0xFF00;
        target.blueMask = 0xFF;
    }
    target.clip = Rect{0, 0, target.width, target.height};
    *out = target;
    return true;
}

Bitmap* CreateDIBSection(DeviceContext*, const BitmapInfo* info, uint32_t usage, void** bits) {
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS) return nullptr;
    const BitmapInfoHeader& h = info->header;
    if ((h.bitCount != 24 && h.bitCount != 32) || h.compression != BI_RGB) return nullptr;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return nullptr;
    const int64_t height = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    const uint64_t widthBytes = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    const uint64_t size = widthBytes * static_cast<uint64_t>(height);
    if (size > kMaxBitmapBytes) return nullptr;

    auto* pixels = static_cast<uint8_t*>(std::calloc(size, 1));
    if (pixels == nullptr) return nullptr;
    auto* bitmap = new Bitmap();
    bitmap->width = h.width;
    bitmap->height = static_cast<int32_t>(height);
    bitmap->topDown = h.height < 0;
    bitmap->bitCount = h.bitCount;
    bitmap->widthBytes = static_cast<int32_t>(widthBytes);
    bitmap->bits = pixels;
    bitmap->selections = 0;
    if (bits != nullptr) *bits = pixels;
    return bitmap;
}

Bitmap* SelectObject(DeviceContext* dc, Bitmap* bitmap) {
    if (dc == nullptr || dc->isSurface || dc->isWindow) return nullptr;
    Bitmap* previous = dc->selected;
    if (previous != nullptr) --previous->selections;
    dc->selected = bitmap;
    if (bitmap != nullptr) ++bitmap->selections;
    return previous;
}

bool DeleteObject(Bitmap* bitmap) {
    if (bitmap == nullptr || bitmap->selections > 0) return false;
    std::free(bitmap->bits);
    delete bitmap;
    return true;
}

bool GetBitmapDesc(Bitmap* bitmap, BitmapDesc* out) {
    if (bitmap == nullptr || out == nullptr) return false;
    out->width = bitmap->width;
    out->height = bitmap->height;
    out->widthBytes = bitmap->widthBytes;
    out->bitCount = bitmap->bitCount;
    out->topDown = bitmap->topDown;
    out->bits = bitmap->bits;
    return true;
}

}  // namespace plat
