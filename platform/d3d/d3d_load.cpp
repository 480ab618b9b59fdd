// Direct3DDevice::Load: copies a rectangle of one texture surface into another of the same
// pixel format (the library fills a system-memory work texture and loads it into the texture
// it draws from).
#include <cstring>
#include <vector>

#include "platform/d3d/d3d_internal.h"

namespace plat {

namespace {

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.flags == b.flags && a.bitCount == b.bitCount && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask && a.alphaMask == b.alphaMask;
}

DDResult Usable(const SurfaceImpl* s) {
    if (s->lost) return DDERR_SURFACELOST;
    if (s->IsBusy()) return DDERR_SURFACEBUSY;
    return D3D_OK;
}

// Whether [start, start + size) lies inside [0, limit) without overflowing.
bool Inside(int64_t start, int64_t size, uint32_t limit) {
    return start >= 0 && size > 0 && start + size <= int64_t{limit};
}

}  // namespace

DDResult DeviceImpl::Load(DrawSurface* destSurface, const Point* destPoint,
                          DrawSurface* sourceSurface, const Rect* sourceRect, uint32_t) {
    auto* dest = static_cast<SurfaceImpl*>(destSurface);
    auto* source = static_cast<SurfaceImpl*>(sourceSurface);
    const uint32_t destSerial = dest != nullptr ? dest->serial : 0;
    const uint32_t sourceSerial = source != nullptr ? source->serial : 0;
    auto record = [&](uint32_t pixels, DDResult r) {
        return RecordD3DCall("Load", destSerial, sourceSerial, pixels, r);
    };
    if (dest == nullptr || source == nullptr) return record(0, DDERR_INVALIDPARAMS);
    if ((dest->caps.caps & DDSCAPS_TEXTURE) == 0 || (source->caps.caps & DDSCAPS_TEXTURE) == 0) {
        return record(0, DDERR_INVALIDCAPS);
    }
    if (!SameFormat(dest->format, source->format)) return record(0, DDERR_INVALIDPARAMS);

    const Rect whole = {0, 0, static_cast<int32_t>(source->width),
                        static_cast<int32_t>(source->height)};
    const Rect r = sourceRect != nullptr ? *sourceRect : whole;
    const Point at = destPoint != nullptr ? *destPoint : Point{0, 0};
    const int64_t width = int64_t{r.right} - r.left;
    const int64_t height = int64_t{r.bottom} - r.top;
    const auto pixels = static_cast<uint32_t>(width > 0 && height > 0 ? width * height : 0);
    if (!Inside(r.left, width, source->width) || !Inside(r.top, height, source->height) ||
        !Inside(at.x, width, dest->width) || !Inside(at.y, height, dest->height)) {
        return record(pixels, DDERR_INVALIDPARAMS);
    }
    if (DDResult e = Usable(dest); e != D3D_OK) return record(pixels, e);
    if (DDResult e = Usable(source); e != D3D_OK) return record(pixels, e);

    const size_t rowBytes = static_cast<size_t>(width) * source->bytesPerPixel;
    const auto rows = static_cast<int32_t>(height);
    if (dest == source) {
        // Overlapping rows of one surface: through a copy of the source rectangle.
        std::vector<uint8_t> copy(rowBytes * static_cast<size_t>(rows));
        for (int32_t y = 0; y < rows; ++y) {
            std::memcpy(copy.data() + rowBytes * static_cast<size_t>(y),
                        source->PixelAt(r.left, r.top + y), rowBytes);
        }
        for (int32_t y = 0; y < rows; ++y) {
            std::memcpy(dest->PixelAt(at.x, at.y + y),
                        copy.data() + rowBytes * static_cast<size_t>(y), rowBytes);
        }
    } else {
        for (int32_t y = 0; y < rows; ++y) {
            std::memcpy(dest->PixelAt(at.x, at.y + y), source->PixelAt(r.left, r.top + y),
                        rowBytes);
        }
    }
    return record(pixels, D3D_OK);
}

}  // namespace plat
