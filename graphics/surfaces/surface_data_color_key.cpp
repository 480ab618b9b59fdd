// The source colour key of a record's surface, from the record's transparent colour.
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "base/log.h"

int ApplySurfaceDataColorKey(HandleValue handle) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    if (r->surface == nullptr) return 0;
    const int red = (r->colorKey >> 16) & 0xFF, green = (r->colorKey >> 8) & 0xFF,
              blue = r->colorKey & 0xFF;
    uint32_t key;
    if (!r->isTexture) {
        key = GetSurfaceDisplayDepth() == 8 ? 0 : MakeSurfaceScreenColor(red, green, blue);
    } else {
        const PaletteColorFormat* format =
            DeviceTextureColorFormat(static_cast<int>(r->formatNumber));
        if (format == nullptr) {
            return LogWrite("テクスチャサーフェスのカラーキーの設定に失敗しました\n");
        }
        const ColorFormat& f = format->format;
        key = ColorFormatRgbaToPixel(&f, red, green, blue, 255) | f.noUseMask | f.maskA;
    }
    const plat::ColorKey ck = {key, key};
    if (r->surface->SetColorKey(plat::DDCKEY_SRCBLT, &ck) != plat::DD_OK) {
        return LogWrite(r->isTexture ? "テクスチャサーフェスのカラーキーの設定に失敗しました\n"
                                     : "標準サーフェスのカラーキーの設定に失敗しました\n");
    }
    return 0;
}
