// Filling a record with one colour: surfaces by a colour-fill blit, software images pixel by
// pixel in their own format.
#include <cstring>

#include "graphics/drivers/direct_draw_object.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "base/log.h"

namespace {

// The palette index of a paletted image for a colour: an entry in use that equals it, else a
// new entry while there is room, else the nearest entry in use.
int PaletteIndexFor(MEMIMG* m, int r, int g, int b) {
    const bool is565 = m->pixelFormat == MEMIMG_FORMAT_565;
    const uint32_t wanted = is565 ? static_cast<uint32_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
                                  : static_cast<uint32_t>(r << 16 | g << 8 | b);
    auto entry = [&](int i) {
        return is565 ? static_cast<const uint16_t*>(m->palette)[i]
                     : static_cast<const uint32_t*>(m->palette)[i];
    };
    for (int i = 0; i < m->paletteCount; ++i) {
        if (entry(i) == wanted) return i;
    }
    if (m->paletteCount < 256) {
        const int i = m->paletteCount++;
        if (is565) {
            static_cast<uint16_t*>(m->palette)[i] = static_cast<uint16_t>(wanted);
        } else {
            static_cast<uint32_t*>(m->palette)[i] = wanted;
        }
        return i;
    }
    int best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < m->paletteCount; ++i) {
        int er, eg, eb;
        ColorFormatPixelToRgba(m->colorFormat, entry(i), &er, &eg, &eb, nullptr);
        const int64_t d = int64_t{er - r} * (er - r) + int64_t{eg - g} * (eg - g) + int64_t{eb - b} * (eb - b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int FillSoftwareImage(MEMIMG* m, int r, int g, int b, int a) {
    if (!MemImgHasPixels(m)) return -1;
    if (m->pixelFormat >= MEMIMG_FORMAT_RAW8) {
        return LogFormat("生データのイメージは色で塗りつぶせません");
    }
    const int bytes = MemImgBytesPerPixel(m->pixelFormat, m->paletted, m->alpha);
    const uint32_t value = m->paletted ? static_cast<uint32_t>(PaletteIndexFor(m, r, g, b))
                                       : ColorFormatRgbaToPixel(m->colorFormat, r, g, b, a);
    for (int32_t y = 0; y < m->height; ++y) {
        uint8_t* p = m->pixels + static_cast<int64_t>(y) * m->pitch;
        for (int32_t x = 0; x < m->width; ++x, p += bytes) std::memcpy(p, &value, bytes);
    }
    return 0;
}

}  // namespace

int FillSurfaceData(HandleValue handle, int32_t r, int32_t g, int32_t b, int32_t a) {
    SurfaceDataRecord* record = GetSurfaceData(handle);
    if (record == nullptr) return -1;
    r &= 255;
    g &= 255;
    b &= 255;
    a &= 255;
    if (record->software) return FillSoftwareImage(&record->image, r, g, b, a);
    if (GetDirectDrawObject() == nullptr || record->surface == nullptr) return -1;

    uint32_t colour;
    if (record->isTexture) {
        const PaletteColorFormat* format =
            DeviceTextureColorFormat(static_cast<int>(record->formatNumber));
        if (format == nullptr) {
            return LogFormat("テクスチャのフォーマットが分かりません");
        }
        colour = ColorFormatRgbaToPixel(&format->format, r, g, b, a);
    } else {
        colour = ColorFormatRgbaToPixel(&GetSurfaceScreenFormat()->format, r, g, b, a);
    }
    const plat::BltFx fx = {colour, 0};
    if (record->surface->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT,
                             &fx) != plat::DD_OK) {
        return LogFormat("グラフィックの塗りつぶしに失敗しました");
    }
    return 0;
}
