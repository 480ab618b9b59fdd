// Surface-to-surface copies and fills: Blt (colour fill, depth fill, nearest-neighbour
// stretch, source colour key) and BltFast (unstretched copy, source colour key).
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ddraw/ddraw_internal.h"

namespace plat {

namespace {

constexpr uint32_t kBltFlags = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT | DDBLT_DEPTHFILL;
constexpr uint32_t kBltFastFlags = DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT;

bool NonEmpty(const Rect& r) { return r.left < r.right && r.top < r.bottom; }

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

uint32_t PixelMask(uint32_t bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

// Fills the area row by row: the first row pixel by pixel, every other row as a copy of it.
void Fill(SurfaceImpl* dest, const Rect& area, uint32_t value) {
    if (area.left >= area.right || area.top >= area.bottom) return;
    value &= PixelMask(dest->format.bitCount);
    const uint32_t bpp = dest->bytesPerPixel;
    uint8_t* first = dest->PixelAt(area.left, area.top);
    const int32_t width = area.right - area.left;
    if (bpp == 4) {
        for (int32_t x = 0; x < width; ++x) std::memcpy(first + x * 4, &value, 4);
    } else if (bpp == 2) {
        const uint16_t v = static_cast<uint16_t>(value);
        for (int32_t x = 0; x < width; ++x) std::memcpy(first + x * 2, &v, 2);
    } else {
        for (int32_t x = 0; x < width; ++x) WritePixel(first + x * bpp, bpp, value);
    }
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    for (int32_t y = area.top + 1; y < area.bottom; ++y) {
        std::memcpy(dest->PixelAt(area.left, y), first, rowBytes);
    }
}

// Copies the source rectangle (rows at source, sourcePitch apart, sw × sh pixels) onto the
// destination area, each destination pixel taking the nearest source pixel at or before its
// scaled position; pixels inside the key range are left out when keyed.
// Only the pixels of the destination inside clip are written (a clipper's area); the scale is
// that of the whole area.
void CopyScaled(SurfaceImpl* dest, const Rect& area, const Rect& clip, const uint8_t* source,
                int64_t sourcePitch, int32_t sw, int32_t sh, bool keyed, ColorKey key) {
    const uint32_t bpp = dest->bytesPerPixel;
    const int64_t dw = static_cast<int64_t>(area.right) - area.left;
    const int64_t dh = static_cast<int64_t>(area.bottom) - area.top;
    const uint32_t mask = PixelMask(dest->format.bitCount);
    const uint32_t low = key.low & mask, high = key.high & mask;
    const int64_t y0 = std::max<int64_t>(0, static_cast<int64_t>(clip.top) - area.top);
    const int64_t y1 = std::min<int64_t>(dh, static_cast<int64_t>(clip.bottom) - area.top);
    const int64_t x0 = std::max<int64_t>(0, static_cast<int64_t>(clip.left) - area.left);
    const int64_t x1 = std::min<int64_t>(dw, static_cast<int64_t>(clip.right) - area.left);
    if (x0 >= x1) return;
    if (dw == sw && dh == sh) {
        // One to one: rows are copied whole, or scanned for the key without any scaling.
        for (int64_t y = y0; y < y1; ++y) {
            const uint8_t* in = source + y * sourcePitch + x0 * bpp;
            uint8_t* out = dest->PixelAt(static_cast<int32_t>(area.left + x0),
                                         static_cast<int32_t>(area.top + y));
            if (!keyed) {
                std::memcpy(out, in, static_cast<size_t>(x1 - x0) * bpp);
                continue;
            }
            for (int64_t x = x0; x < x1; ++x, in += bpp, out += bpp) {
                const uint32_t value = ReadPixel(in, bpp) & mask;
                if (value >= low && value <= high) continue;
                std::memcpy(out, in, bpp);
            }
        }
        return;
    }
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t* row = source + (y * sh / dh) * sourcePitch;
        uint8_t* out = dest->PixelAt(static_cast<int32_t>(area.left + x0),
                                     static_cast<int32_t>(area.top + y));
        for (int64_t x = x0; x < x1; ++x, out += bpp) {
            const uint8_t* in = row + (x * sw / dw) * bpp;
            if (keyed) {
                const uint32_t value = ReadPixel(in, bpp) & mask;
                if (value >= low && value <= high) continue;
            }
            std::memcpy(out, in, bpp);
        }
    }
}

// The checks and the copy that Blt and BltFast share once the destination area is known.
// clip: the clipper's area of the destination, or null when the destination has none (the
// area must then lie inside the destination).
DDResult CopyFrom(SurfaceImpl* dest, const Rect& destArea, DrawSurface* sourceSurface,
                  const Rect* sourceRect, bool keyed, const Rect* clip) {
    auto* source = static_cast<SurfaceImpl*>(sourceSurface);
    if (source == nullptr) return DDERR_INVALIDPARAMS;
    const Rect sourceArea = sourceRect != nullptr ? *sourceRect : WholeRect(source);
    const bool destOk = clip != nullptr ? NonEmpty(destArea) : RectInside(destArea, dest);
    if (!RectInside(sourceArea, source) || !destOk) {
        return DDERR_INVALIDRECT;
    }
    if (dest->lost || source->lost) return DDERR_SURFACELOST;
    if (dest->IsBusy() || source->IsBusy()) return DDERR_SURFACEBUSY;
    if (!SameLayout(dest->format, source->format)) return DDERR_INVALIDPIXELFORMAT;
    if (keyed && !source->hasSourceKey) return DDERR_NOCOLORKEY;

    const int32_t sw = sourceArea.right - sourceArea.left;
    const int32_t sh = sourceArea.bottom - sourceArea.top;
    const uint8_t* from = source->PixelAt(sourceArea.left, sourceArea.top);
    int64_t fromPitch = source->pitch;
    // A copy within one surface reads from a snapshot, so overlapping areas come out whole.
    std::vector<uint8_t> snapshot;
    if (source == dest) {
        const size_t rowBytes = static_cast<size_t>(sw) * source->bytesPerPixel;
        snapshot.resize(rowBytes * static_cast<size_t>(sh));
        for (int32_t y = 0; y < sh; ++y) {
            std::memcpy(snapshot.data() + rowBytes * y, from + static_cast<int64_t>(y) * fromPitch,
                        rowBytes);
        }
        from = snapshot.data();
        fromPitch = static_cast<int64_t>(rowBytes);
    }
    CopyScaled(dest, destArea, clip != nullptr ? *clip : destArea, from, fromPitch, sw, sh, keyed,
               source->sourceKey);
    NoteSurfaceShown(dest);
    return DD_OK;
}

}  // namespace

DDResult SurfaceImpl::Blt(const Rect* destRect, DrawSurface* source, const Rect* sourceRect,
                          uint32_t flags, const BltFx* fx) {
    const Rect area = destRect != nullptr ? *destRect : WholeRect(this);
    const bool isZ = (caps.caps & DDSCAPS_ZBUFFER) != 0;
    Rect clipArea{};
    const bool clipped = ClipperArea(this, &clipArea);
    DDResult result = DD_OK;
    if ((flags & ~kBltFlags) != 0 ||
        (flags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) == (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) {
        result = DDERR_INVALIDPARAMS;
    } else if ((flags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) != 0) {
        const bool depth = (flags & DDBLT_DEPTHFILL) != 0;
        if (fx == nullptr || depth != isZ) {
            result = DDERR_INVALIDPARAMS;
        } else if (clipped ? !NonEmpty(area) : !RectInside(area, this)) {
            result = DDERR_INVALIDRECT;
        } else if (lost) {
            result = DDERR_SURFACELOST;
        } else if (IsBusy()) {
            result = DDERR_SURFACEBUSY;
        } else {
            Fill(this, clipped ? Intersect(area, clipArea) : area,
                 depth ? fx->fillDepth : fx->fillColor);
            NoteSurfaceShown(this);
        }
    } else {
        result = CopyFrom(this, area, source, sourceRect, (flags & DDBLT_KEYSRC) != 0,
                          clipped ? &clipArea : nullptr);
    }
    return RecordCall("Blt", serial, 0, flags, &area, result);
}

DDResult SurfaceImpl::BltFast(int32_t x, int32_t y, DrawSurface* source, const Rect* sourceRect,
                              uint32_t flags) {
    DDResult result = DD_OK;
    Rect area = {x, y, x, y};
    auto* from = static_cast<SurfaceImpl*>(source);
    if ((flags & ~kBltFastFlags) != 0 || from == nullptr) {
        result = DDERR_INVALIDPARAMS;
    } else {
        const Rect sourceArea = sourceRect != nullptr ? *sourceRect : WholeRect(from);
        area.right = static_cast<int32_t>(static_cast<int64_t>(x) + sourceArea.right -
                                          sourceArea.left);
        area.bottom = static_cast<int32_t>(static_cast<int64_t>(y) + sourceArea.bottom -
                                           sourceArea.top);
        const bool overflow =
            static_cast<int64_t>(x) + sourceArea.right - sourceArea.left > INT32_MAX ||
            static_cast<int64_t>(y) + sourceArea.bottom - sourceArea.top > INT32_MAX;
        result = overflow ? DDERR_INVALIDRECT
                          : CopyFrom(this, area, source, &sourceArea,
                                     (flags & DDBLTFAST_SRCCOLORKEY) != 0, nullptr);
    }
    return RecordCall("BltFast", serial, 0, flags, &area, result);
}

}  // namespace plat
