// GDI's pixel transfers on windows and the display: window device contexts, compatible
// bitmaps, BitBlt, StretchDIBits and GetDIBits.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/display/display.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/gdi_row_convert.h"

namespace plat {

using namespace gdi;

namespace {

constexpr uint64_t kMaxBitmapBytes = 0x7FFFFFFF;

std::mutex g_windowDcMutex;
std::vector<DeviceContext*>& WindowDcs() {
    static std::vector<DeviceContext*> dcs;
    return dcs;
}

bool SameLayout(const DcTarget& a, const DcTarget& b) {
    if (a.bitCount != b.bitCount) return false;
    if (a.bitCount == 24 || a.bitCount == 8) return true;
    return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// Narrows [a0, a1) so that base + a stays inside [lo, hi).
void Narrow(int64_t* a0, int64_t* a1, int64_t base, int64_t lo, int64_t hi) {
    *a0 = std::max(*a0, lo - base);
    *a1 = std::min(*a1, hi - base);
}

}  // namespace

bool GetWindowDCTarget(WindowHandle window, DcTarget* out) {
    Rect client{};
    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    if (window == 0) {
        client = Rect{0, 0, fb.width, fb.height};
    } else if (!WindowClientOnDesktop(window, &client)) {
        return false;
    }
    DcTarget t = {};
    t.top = fb.pixels;
    t.rowStep = fb.pitch;
    t.width = fb.width;
    t.height = fb.height;
    t.bitCount = static_cast<uint32_t>(fb.bitsPerPixel);
    t.redMask = fb.redMask;
    t.greenMask = fb.greenMask;
    t.blueMask = fb.blueMask;
    t.originX = client.left;
    t.originY = client.top;
    t.clip.left = std::clamp(client.left, 0, fb.width);
    t.clip.top = std::clamp(client.top, 0, fb.height);
    t.clip.right = std::clamp(client.right, t.clip.left, fb.width);
    t.clip.bottom = std::clamp(client.bottom, t.clip.top, fb.height);
    *out = t;
    return true;
}

void NoteDcDrawn(const DeviceContext* dc) {
    if (dc != nullptr && dc->isWindow) MarkDisplayChanged();
}

DeviceContext* GetDC(WindowHandle window) {
    if (window != 0 && !IsWindow(window)) return nullptr;
    auto* dc = new DeviceContext();
    dc->isSurface = false;
    dc->selected = nullptr;
    dc->isWindow = true;
    dc->window = window;
    {
        std::lock_guard<std::mutex> hold(g_windowDcMutex);
        WindowDcs().push_back(dc);
    }
    if (window != 0) SetDisplayWindow(window);
    return dc;
}

int32_t ReleaseDC(WindowHandle window, DeviceContext* dc) {
    if (dc == nullptr) return 0;
    std::lock_guard<std::mutex> hold(g_windowDcMutex);
    auto& dcs = WindowDcs();
    auto it = std::find(dcs.begin(), dcs.end(), dc);
    if (it == dcs.end() || dc->window != window) return 0;
    dcs.erase(it);
    delete dc;
    return 1;
}

Bitmap* CreateCompatibleBitmap(DeviceContext* dc, int32_t width, int32_t height) {
    if (dc == nullptr || width <= 0 || height <= 0) return nullptr;
    DcTarget target = {};
    uint32_t bits = 32, r = 0xFF0000, g = 0xFF00, b = 0xFF;
    if (GetDCTarget(dc, &target) && (target.bitCount == 16 || target.bitCount == 32 ||
                                     target.bitCount == 24)) {
        bits = target.bitCount;
        r = target.redMask;
        g = target.greenMask;
        b = target.blueMask;
    }
    const uint64_t widthBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    const uint64_t size = widthBytes * static_cast<uint64_t>(height);
    if (size > kMaxBitmapBytes) return nullptr;
    auto* pixels = static_cast<uint8_t*>(std::calloc(size, 1));
    if (pixels == nullptr) return nullptr;
    auto* bitmap = new Bitmap();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->topDown = true;
    bitmap->bitCount = static_cast<uint16_t>(bits);
    bitmap->widthBytes = static_cast<int32_t>(widthBytes);
    bitmap->bits = pixels;
    bitmap->selections = 0;
    if (bits != 24) {
        bitmap->redMask = r;
        bitmap->greenMask = g;
        bitmap->blueMask = b;
    }
    return bitmap;
}

bool BitBlt(DeviceContext* dest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
            DeviceContext* source, int32_t xSrc, int32_t ySrc, uint32_t rop) {
    if (rop != SRCCOPY || width < 0 || height < 0) return false;
    DcTarget d, s;
    if (!GetDCTarget(dest, &d) || !GetDCTarget(source, &s)) return false;
    const bool same = SameLayout(d, s);
    TargetLayout dl, sl;
    if (!same && (!MakeTargetLayout(d, &dl) || !MakeTargetLayout(s, &sl))) return false;

    int64_t i0 = 0, i1 = width, j0 = 0, j1 = height;
    Narrow(&i0, &i1, static_cast<int64_t>(xDest) + d.originX, d.clip.left, d.clip.right);
    Narrow(&i0, &i1, static_cast<int64_t>(xSrc) + s.originX, s.clip.left, s.clip.right);
    Narrow(&j0, &j1, static_cast<int64_t>(yDest) + d.originY, d.clip.top, d.clip.bottom);
    Narrow(&j0, &j1, static_cast<int64_t>(ySrc) + s.originY, s.clip.top, s.clip.bottom);
    if (i0 >= i1 || j0 >= j1) return true;

    // The source rectangle is read whole first, so copies within one target come out right.
    const int64_t columns = i1 - i0;
    const int64_t rows = j1 - j0;
    const int64_t sourceBytes = s.bitCount / 8;
    const int64_t cell = same ? sourceBytes : 3;
    std::vector<uint8_t> temp(static_cast<size_t>(columns * cell * rows));
    for (int64_t j = 0; j < rows; ++j) {
        const uint8_t* from = DcPixel(s, xSrc + i0, ySrc + j0 + j);
        uint8_t* to = temp.data() + j * columns * cell;
        if (same) {
            std::memcpy(to, from, static_cast<size_t>(columns * cell));
        } else {
            for (int64_t i = 0; i < columns; ++i) {
                ReadTargetPixel(sl, from + i * sourceBytes, to + i * 3);
            }
        }
    }
    const int64_t destBytes = d.bitCount / 8;
    for (int64_t j = 0; j < rows; ++j) {
        uint8_t* to = DcPixel(d, xDest + i0, yDest + j0 + j);
        const uint8_t* from = temp.data() + j * columns * cell;
        if (same) {
            std::memcpy(to, from, static_cast<size_t>(columns * cell));
        } else {
            for (int64_t i = 0; i < columns; ++i) {
                WriteTargetPixel(dl, to + i * destBytes, from + i * 3);
            }
        }
    }
    NoteDcDrawn(dest);
    return true;
}

int32_t StretchDIBits(DeviceContext* dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void* bits, size_t bitsSize,
                      const BitmapInfo* info, uint32_t colorUse, uint32_t rop) {
    DcTarget target;
    if (rop != SRCCOPY || !GetDCTarget(dc, &target) || info == nullptr || bits == nullptr ||
        colorUse != DIB_RGB_COLORS) {
        return 0;
    }
    if (srcWidth <= 0 || srcHeight <= 0 || destWidth == 0 || destHeight == 0 ||
        destWidth == INT32_MIN || destHeight == INT32_MIN) {
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
    if (stride > bitsSize / static_cast<uint64_t>(pictureHeight)) return 0;

    // Source y counts from the picture's bottom for either row order: the top picture row of
    // the rectangle is pictureHeight - ySrc - srcHeight.
    const int64_t topRow = pictureHeight - ySrc - srcHeight;
    const int64_t dw = destWidth < 0 ? -static_cast<int64_t>(destWidth) : destWidth;
    const int64_t dh = destHeight < 0 ? -static_cast<int64_t>(destHeight) : destHeight;
    const auto* data = static_cast<const uint8_t*>(bits);
    if (destWidth == srcWidth && destHeight == srcHeight) {
        // One to one: each destination row is a run of one picture row, converted at once.
        const int64_t toTarget = static_cast<int64_t>(xDest) - xSrc + target.originX;
        const int64_t from = std::max<int64_t>({int64_t{xSrc}, 0, target.clip.left - toTarget});
        const int64_t to = std::min<int64_t>(
            {static_cast<int64_t>(xSrc) + srcWidth, pictureWidth, target.clip.right - toTarget});
        for (int64_t m = 0; m < dh && from < to; ++m) {
            const int64_t row = topRow + m;
            if (row < 0 || row >= pictureHeight) continue;
            uint8_t* pixel = DcPixel(target, static_cast<int64_t>(xDest) + (from - xSrc), yDest + m);
            if (pixel == nullptr) continue;
            const int64_t stored = bottomUp ? pictureHeight - 1 - row : row;
            ConvertRow(convert, data + stride * static_cast<uint64_t>(stored), from, to - from,
                       pixel);
        }
        NoteDcDrawn(dc);
        return srcHeight;
    }
    for (int64_t m = 0; m < dh; ++m) {
        const int64_t dy = destHeight > 0 ? yDest + m : yDest - 1 - m;
        const int64_t row = topRow + m * srcHeight / dh;
        if (row < 0 || row >= pictureHeight) continue;
        const int64_t stored = bottomUp ? pictureHeight - 1 - row : row;
        const uint8_t* line = data + stride * static_cast<uint64_t>(stored);
        for (int64_t k = 0; k < dw; ++k) {
            const int64_t dx = destWidth > 0 ? xDest + k : xDest - 1 - k;
            uint8_t* pixel = DcPixel(target, dx, dy);
            if (pixel == nullptr) continue;
            const int64_t column = xSrc + k * srcWidth / dw;
            if (column < 0 || column >= pictureWidth) continue;
            uint8_t bgr[3];
            ReadSourcePixel(source, line, column, bgr);
            WriteTargetPixel(convert.target, pixel, bgr);
        }
    }
    NoteDcDrawn(dc);
    return srcHeight;
}

int32_t GetDIBits(DeviceContext* dc, Bitmap* bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, size_t bitsSize, BitmapInfo* info, uint32_t colorUse) {
    if (dc == nullptr || bitmap == nullptr || info == nullptr || colorUse != DIB_RGB_COLORS) {
        return 0;
    }
    if (bits == nullptr) {
        std::memset(&info->header, 0, sizeof(info->header));
        info->header.size = sizeof(BitmapInfoHeader);
        info->header.width = bitmap->width;
        info->header.height = bitmap->topDown ? -bitmap->height : bitmap->height;
        info->header.planes = 1;
        info->header.bitCount = bitmap->bitCount;
        const bool masked = bitmap->bitCount == 16 && bitmap->redMask != 0;
        info->header.compression = masked ? BI_BITFIELDS : BI_RGB;
        if (masked) {
            info->masks[0] = bitmap->redMask;
            info->masks[1] = bitmap->greenMask;
            info->masks[2] = bitmap->blueMask;
        }
        info->header.sizeImage =
            static_cast<uint32_t>(bitmap->widthBytes) * static_cast<uint32_t>(bitmap->height);
        return bitmap->height;
    }
    const BitmapInfoHeader& h = info->header;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return 0;
    // The bitmap as a target to read from.
    DcTarget from = {};
    from.width = bitmap->width;
    from.height = bitmap->height;
    from.bitCount = bitmap->bitCount;
    from.top = bitmap->topDown
                   ? bitmap->bits
                   : bitmap->bits + static_cast<int64_t>(bitmap->height - 1) * bitmap->widthBytes;
    from.rowStep = bitmap->topDown ? bitmap->widthBytes : -static_cast<int64_t>(bitmap->widthBytes);
    from.redMask = bitmap->redMask != 0 ? bitmap->redMask : (bitmap->bitCount == 32 ? 0xFF0000 : 0);
    from.greenMask = bitmap->greenMask != 0 ? bitmap->greenMask : (bitmap->bitCount == 32 ? 0xFF00 : 0);
    from.blueMask = bitmap->blueMask != 0 ? bitmap->blueMask : (bitmap->bitCount == 32 ? 0xFF : 0);
    TargetLayout in;
    if (!MakeTargetLayout(from, &in)) return 0;

    // The destination rows as a target in the asked format.
    DcTarget to = {};
    to.bitCount = h.bitCount;
    if (h.bitCount == 16 || h.bitCount == 32) {
        if (h.compression == BI_BITFIELDS) {
            to.redMask = info->masks[0];
            to.greenMask = info->masks[1];
            to.blueMask = info->masks[2];
        } else if (h.compression == BI_RGB) {
            to.redMask = h.bitCount == 16 ? 0x7C00 : 0xFF0000;
            to.greenMask = h.bitCount == 16 ? 0x03E0 : 0xFF00;
            to.blueMask = h.bitCount == 16 ? 0x001F : 0xFF;
        } else {
            return 0;
        }
        if ((to.redMask & to.greenMask) != 0 || (to.redMask & to.blueMask) != 0 ||
            (to.greenMask & to.blueMask) != 0) {
            return 0;
        }
    } else if (h.bitCount != 24 || h.compression != BI_RGB) {
        return 0;
    }
    TargetLayout outLayout;
    if (!MakeTargetLayout(to, &outLayout)) return 0;

    const int64_t rowsAvailable = bitmap->height;
    if (startScan >= rowsAvailable) return 0;
    const int64_t lines = std::min<int64_t>(scanLines, rowsAvailable - startScan);
    const uint64_t stride = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    if (lines <= 0 || stride > bitsSize / static_cast<uint64_t>(lines)) return 0;
    const bool topDown = h.height < 0;
    const int64_t columns = std::min<int64_t>(h.width, bitmap->width);
    auto* data = static_cast<uint8_t*>(bits);
    for (int64_t i = 0; i < lines; ++i) {
        const int64_t stored = startScan + i;
        const int64_t y = topDown ? stored : rowsAvailable - 1 - stored;
        const uint8_t* src = from.top + y * from.rowStep;
        uint8_t* dst = data + stride * static_cast<uint64_t>(i);
        for (int64_t x = 0; x < columns; ++x) {
            uint8_t bgr[3];
            ReadTargetPixel(in, src + x * in.bytes, bgr);
            WriteTargetPixel(outLayout, dst + x * outLayout.bytes, bgr);
        }
    }
    return static_cast<int32_t>(lines);
}

}  // namespace plat
