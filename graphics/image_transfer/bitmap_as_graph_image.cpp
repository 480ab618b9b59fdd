// A GDI bitmap described as a GraphImage: its pixels read through GetDIBits into a top-down
// 32-bit image, so that every bitmap format and row order arrive in one layout.
#include <cstring>

#include "graphics/image_transfer/image_transfer_internal.h"
#include "platform/gdi/gdi.h"
#include "base/log.h"

int ReadBitmapAsGraphImage(plat::Bitmap* bitmap, GraphImage* out) {
    std::memset(out, 0, sizeof *out);
    plat::BitmapDesc desc{};
    if (bitmap == nullptr || !plat::GetBitmapDesc(bitmap, &desc) || desc.width <= 0 ||
        desc.height <= 0) {
        return LogWrite("ビットマップから画像を読み取る処理が失敗しました\n");
    }
    if (InitGraphImageArgb32(desc.width, desc.height, out) != 0) return -1;
    BuildColorFormat(&out->colorFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);

    plat::BitmapInfo info{};
    info.header.size = sizeof info.header;
    info.header.width = desc.width;
    info.header.height = -desc.height;  // top-down rows
    info.header.planes = 1;
    info.header.bitCount = 32;
    info.header.compression = plat::BI_RGB;
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    const size_t bytes = static_cast<size_t>(out->pitch) * static_cast<size_t>(out->height);
    const int32_t rows =
        dc != nullptr ? plat::GetDIBits(dc, bitmap, 0, static_cast<uint32_t>(desc.height),
                                        out->pixels, bytes, &info, plat::DIB_RGB_COLORS)
                      : 0;
    if (dc != nullptr) plat::DeleteDC(dc);
    if (rows != desc.height) {
        FreeGraphImage(out);
        return LogWrite("ビットマップから画像を読み取る処理が失敗しました\n");
    }
    return 0;
}
