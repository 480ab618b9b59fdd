// SetDIBitsToDevice: device-independent pixel data (paletted, 16-, 24- and 32-bit, bit fields)
// converted into the bitmap or surface of a device context. Every size is checked before a
// byte is read: the source's row length and row count must fit the bytes the caller has.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/gdi_row_convert.h"

namespace plat {

using namespace gdi;

int32_t SetDIBitsToDevice(DeviceContext* dc, int32_t xDest, int32_t yDest, uint32_t width,
                          uint32_t height, int32_t xSrc, int32_t ySrc, uint32_t startScan,
                          uint32_t scanLines, const void* bits, size_t bitsSize,
                          const BitmapInfo* info, uint32_t colorUse) {
    DcTarget target;
    if (!GetDCTarget(dc, &target) || info == nullptr || bits == nullptr ||
        colorUse != DIB_RGB_COLORS) {
        return 0;
    }
    const BitmapInfoHeader& h = info->header;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return 0;
    SourceLayout source;
    if (!MakeSourceLayout(*info, &source)) return 0;

    RowConverter convert;
    if (!MakeRowConverter(source, target, &convert)) return 0;

    const int64_t pictureWidth = h.width;
    const int64_t pictureHeight = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    const bool bottomUp = h.height > 0;
    const uint64_t stride = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    if (static_cast<uint64_t>(startScan) + scanLines > static_cast<uint64_t>(pictureHeight)) {
        return 0;
    }
    // Division instead of a product, which could wrap for absurd sizes.
    if (scanLines != 0 && stride > bitsSize / scanLines) return 0;

    // The picture rectangle to draw, clipped to the picture.
    const int64_t x0 = xSrc < 0 ? 0 : xSrc;
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(xSrc) + width, pictureWidth);
    const int64_t y0 = ySrc < 0 ? 0 : ySrc;
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(ySrc) + height, pictureHeight);

    const auto* data = static_cast<const uint8_t*>(bits);
    for (uint32_t i = 0; i < scanLines; ++i) {
        const int64_t stored = static_cast<int64_t>(startScan) + i;
        const int64_t y = bottomUp ? pictureHeight - 1 - stored : stored;
        if (y < y0 || y >= y1) continue;
        const int64_t dy = static_cast<int64_t>(yDest) + (y - ySrc);
        // The columns whose destination pixel lies inside the clip, converted as one run.
        const int64_t toTarget = static_cast<int64_t>(xDest) - xSrc + target.originX;
        const int64_t from = std::max<int64_t>(x0, target.clip.left - toTarget);
        const int64_t to = std::min<int64_t>(x1, target.clip.right - toTarget);
        if (from >= to) continue;
        uint8_t* out = DcPixel(target, static_cast<int64_t>(xDest) + (from - xSrc), dy);
        if (out == nullptr) continue;
        ConvertRow(convert, data + stride * i, from, to - from, out);
    }
    NoteDcDrawn(dc);
    return static_cast<int32_t>(scanLines);
}

}  // namespace plat
