// The front screen of a software screen kept in step with the window: the picture the window
// shows is read back before a draw to the front after a present, and a drawn rectangle is
// shown in the window at once.
#include <algorithm>
#include <cstring>

#include "base/tracked_memory.h"
#include "graphics/graphs/draw_state_record.h"

#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "platform/gdi/gdi.h"

namespace {

// The row length a DIB reader takes for rows of width pixels: rounded up to 4 bytes.
int32_t DibRowBytes(int32_t width, int32_t bits) { return (width * bits + 31) / 32 * 4; }

// A top-down bit-field header for rows of width pixels in image's format.
void DescribeRows(const MEMIMG& image, int32_t width, int32_t height, plat::BitmapInfo* info) {
    std::memset(info, 0, sizeof *info);
    const ColorFormat& f = *image.colorFormat;
    info->header.size = sizeof(plat::BitmapInfoHeader);
    info->header.width = width;
    info->header.height = -height;
    info->header.planes = 1;
    info->header.bitCount = f.bits;
    info->header.compression = plat::BI_BITFIELDS;
    info->masks[0] = f.maskR;
    info->masks[1] = f.maskG;
    info->masks[2] = f.maskB;
}

// The image's pixels can be described to GDI: 16 or 32 bits.
bool GdiFormat(const MEMIMG& image) {
    return image.colorFormat != nullptr &&
           (image.colorFormat->bits == 16 || image.colorFormat->bits == 32);
}

}  // namespace

int GetScreenRectOnDesktop(RECT* out) {
    const TargetScreen screen = ReadTargetScreen();
    *out = RECT{0, 0, screen.width, screen.height};
    if (screen.useTempPrimary) return 0;
    RECT onDesktop{};
    if (WindowFactsSlot()->getScreenRectOnDesktop(&onDesktop) == 0) {
        out->left += onDesktop.left;
        out->right += onDesktop.left;
        out->top += onDesktop.top;
        out->bottom += onDesktop.top;
    }
    return 0;
}

int ReadBackFrontScreen() {
    const TargetScreen screen = ReadTargetScreen();
    if (!screen.softwareScreen || screen.frontNeedsReadBack == nullptr ||
        *screen.frontNeedsReadBack == 0) {
        return 0;
    }
    MEMIMG* front = screen.frontImage;
    if (front == nullptr || !MemImgHasPixels(front) || !GdiFormat(*front) || screen.window == 0) {
        return 0;
    }
    plat::DeviceContext* windowDC = plat::GetDC(screen.window);
    if (windowDC == nullptr) return 0;
    plat::DeviceContext* memoryDC = plat::CreateCompatibleDC(windowDC);
    plat::Bitmap* bitmap =
        memoryDC != nullptr ? plat::CreateCompatibleBitmap(windowDC, screen.width, screen.height)
                            : nullptr;
    const int32_t rows = std::min(screen.height, front->height);
    const int32_t width = std::min(screen.width, front->width);
    if (bitmap != nullptr && rows > 0 && width == screen.width) {
        plat::Bitmap* old = plat::SelectObject(memoryDC, bitmap);
        plat::BitBlt(memoryDC, 0, 0, screen.width, screen.height, windowDC, 0, 0, plat::SRCCOPY);
        plat::BitmapInfo info;
        DescribeRows(*front, screen.width, screen.height, &info);
        const int32_t rowBytes = DibRowBytes(screen.width, front->colorFormat->bits);
        if (rowBytes == front->pitch) {
            plat::GetDIBits(memoryDC, bitmap, 0, static_cast<uint32_t>(rows), front->pixels,
                            static_cast<size_t>(front->pitch) * rows, &info,
                            plat::DIB_RGB_COLORS);
        } else {
            // Rows of another length than the image's pitch: read tight rows and place each
            // in its own row of the image.
            const size_t bytes = static_cast<size_t>(rowBytes) * screen.height;
            auto* buffer = static_cast<uint8_t*>(ZN_ALLOC(bytes));
            if (buffer != nullptr &&
                plat::GetDIBits(memoryDC, bitmap, 0, static_cast<uint32_t>(screen.height), buffer,
                                bytes, &info, plat::DIB_RGB_COLORS) != 0) {
                const size_t copy = static_cast<size_t>(width) * front->colorFormat->bytes;
                for (int32_t y = 0; y < rows; ++y) {
                    std::memcpy(front->pixels + static_cast<ptrdiff_t>(y) * front->pitch,
                                buffer + static_cast<size_t>(y) * rowBytes, copy);
                }
            }
            TrackedFree(buffer);
        }
        plat::SelectObject(memoryDC, old);
    }
    if (bitmap != nullptr) plat::DeleteObject(bitmap);
    if (memoryDC != nullptr) plat::DeleteDC(memoryDC);
    plat::ReleaseDC(screen.window, windowDC);
    *screen.frontNeedsReadBack = 0;
    return 0;
}

int RepaintFrontRect(const RECT* rect) {
    const TargetScreen screen = ReadTargetScreen();
    RECT r = *rect;
    const RECT bound{0, 0, screen.width, screen.height};
    ClipRectInPlace(&r, &bound);
    if (r.left == r.right || r.top == r.bottom) return 0;
    MEMIMG* front = screen.frontImage;
    if (front == nullptr || !MemImgHasPixels(front) || !GdiFormat(*front) || screen.window == 0) {
        return 0;
    }
    const RECT inImage{0, 0, front->width, front->height};
    ClipRectInPlace(&r, &inImage);
    if (r.left == r.right || r.top == r.bottom) return 0;
    plat::DeviceContext* dc = plat::GetDC(screen.window);
    if (dc == nullptr) return 0;
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    plat::BitmapInfo info;
    if (DibRowBytes(front->width, front->colorFormat->bits) == front->pitch) {
        // The image's rows are exactly DIB rows: the rectangle in one call. The source y of a
        // top-down picture counts from its bottom row.
        DescribeRows(*front, front->width, front->height, &info);
        plat::StretchDIBits(dc, r.left, r.top, w, h, r.left, front->height - r.bottom, w, h,
                            front->pixels, static_cast<size_t>(front->pitch) * front->height,
                            &info, plat::DIB_RGB_COLORS, plat::SRCCOPY);
    } else {
        // Padded rows: a DIB reader would take a row length from the width, so each row is
        // handed over as a picture of its own.
        DescribeRows(*front, front->width, 1, &info);
        const int32_t rowBytes = DibRowBytes(front->width, front->colorFormat->bits);
        if (front->pitch < rowBytes) {
            plat::ReleaseDC(screen.window, dc);
            return 0;
        }
        for (int32_t y = r.top; y < r.bottom; ++y) {
            plat::StretchDIBits(dc, r.left, y, w, 1, r.left, 0, w, 1,
                                front->pixels + static_cast<ptrdiff_t>(y) * front->pitch,
                                static_cast<size_t>(rowBytes), &info, plat::DIB_RGB_COLORS,
                                plat::SRCCOPY);
        }
    }
    plat::ReleaseDC(screen.window, dc);
    return 0;
}

void ShowFrontDraw(const RECT* box) {
    const DrawState& draw = GetDrawState();
    if (draw.maskActive || draw.drawTarget != kDrawTargetFront) return;
    if (!ReadTargetScreen().softwareScreen || GetDisplayDepth() == 8) return;
    RepaintFrontRect(box);
}
