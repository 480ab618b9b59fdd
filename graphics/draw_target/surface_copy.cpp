// Surface-to-surface copies and raw fills of software images.
#include <algorithm>
#include <cstring>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

int CopyByGdi(plat::DrawSurface* dest, plat::DrawSurface* source, int32_t x, int32_t y,
              const RECT& rect) {
    plat::DeviceContext* destDC = nullptr;
    plat::DeviceContext* sourceDC = nullptr;
    if (dest->GetDC(&destDC) != plat::DD_OK) return -1;
    if (source->GetDC(&sourceDC) != plat::DD_OK) {
        dest->ReleaseDC(destDC);
        return -1;
    }
    const bool copied = plat::BitBlt(destDC, x, y, rect.right - rect.left,
                                     rect.bottom - rect.top, sourceDC, rect.left, rect.top,
                                     plat::SRCCOPY);
    plat::GdiFlush();
    source->ReleaseDC(sourceDC);
    dest->ReleaseDC(destDC);
    return copied ? 0 : -1;
}

}  // namespace

int CopySurfaceRect(plat::DrawSurface* dest, plat::DrawSurface* source, int32_t x, int32_t y,
                    const RECT* rect, int mode) {
    if (dest == nullptr || source == nullptr || rect == nullptr) return -1;
    if (mode == -1) mode = ReadTargetScreen().preferGdiCopy ? 1 : 0;
    if (mode != 0) return CopyByGdi(dest, source, x, y, *rect);
    // The wait flag: a surface still busy with an earlier operation is waited for rather than
    // the copy being dropped.
    const plat::Rect r = ToPlatRect(*rect);
    return dest->BltFast(x, y, source, &r, plat::DDBLTFAST_NOCOLORKEY | plat::DDBLTFAST_WAIT) ==
                   plat::DD_OK
               ? 0
               : -1;
}

void FillMemImgRaw(MEMIMG* image, const RECT* rect, uint32_t value) {
    if (image == nullptr || !MemImgHasPixels(image)) return;
    RECT r = rect != nullptr ? *rect : RECT{0, 0, image->width, image->height};
    const RECT bound{0, 0, image->width, image->height};
    ClipRectInPlace(&r, &bound);
    if (r.left >= r.right || r.top >= r.bottom) return;
    const int32_t bytes = image->colorFormat != nullptr
                              ? image->colorFormat->bytes
                              : MemImgBytesPerPixel(image->pixelFormat, image->paletted,
                                                    image->alpha);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* row = image->pixels + static_cast<ptrdiff_t>(y) * image->pitch;
        switch (bytes) {
            case 1:
                std::memset(row + r.left, static_cast<int>(value & 0xFF),
                            static_cast<size_t>(r.right - r.left));
                break;
            case 2: {
                const uint16_t v = static_cast<uint16_t>(value);
                for (int32_t x = r.left; x < r.right; ++x) std::memcpy(row + x * 2, &v, 2);
                break;
            }
            case 4:
                for (int32_t x = r.left; x < r.right; ++x) std::memcpy(row + x * 4, &value, 4);
                break;
            default:
                return;
        }
    }
}

void CopyMemImgToImage(GraphImage* image, const MEMIMG* memimg, int32_t x, int32_t y,
                       int32_t width, int32_t height, int32_t destX, int32_t destY, int optionA,
                       int optionB) {
    if (image == nullptr || image->pixels == nullptr || memimg == nullptr ||
        !MemImgHasPixels(memimg) || memimg->paletted || memimg->alpha ||
        (memimg->pixelFormat != MEMIMG_FORMAT_565 && memimg->pixelFormat != MEMIMG_FORMAT_32) ||
        width <= 0 || height <= 0) {
        return;
    }
    // The rectangle is held inside the image it is read from and the image it is written to:
    // what falls outside either is left out, on both sides alike.
    int64_t left = x, top = y, right = int64_t{x} + width, bottom = int64_t{y} + height;
    int64_t toX = destX, toY = destY;
    if (left < 0) {
        toX -= left;
        left = 0;
    }
    if (top < 0) {
        toY -= top;
        top = 0;
    }
    if (toX < 0) {
        left -= toX;
        toX = 0;
    }
    if (toY < 0) {
        top -= toY;
        toY = 0;
    }
    right = std::min<int64_t>({right, memimg->width, left + (image->width - toX)});
    bottom = std::min<int64_t>({bottom, memimg->height, top + (image->height - toY)});
    if (left >= right || top >= bottom) return;
    const RECT rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                    static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    TransferPixels(image->pixels, image->pitch, &image->colorFormat, memimg->pixels,
                   memimg->pitch, GetStandardColorFormat(memimg->pixelFormat, 0, 0), nullptr, 0,
                   nullptr, static_cast<int32_t>(toX), static_cast<int32_t>(toY), &rect, 0, 0, 0,
                   kDitherNone, optionA, optionB, 0);
}
