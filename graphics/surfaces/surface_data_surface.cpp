// The pixels of a surface data record: making its surface or software image, releasing them,
// and its Z buffer.
#include <cstring>

#include "graphics/drivers/direct_draw_object.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "graphics/drivers/device_format_driver.h"
#include "platform/ddraw/ddraw.h"
#include "base/log.h"

namespace {

// The software image of a record that holds its pixels in memory.
int CreateSoftwareImage(SurfaceDataRecord* r) {
    int result;
    if (r->rawImage) {
        result = CreateMemImg(&r->image, r->width, r->height, -1, 0, MEMIMG_FORMAT_RAW8, 0, 0);
    } else {
        const bool depth16 = r->colorDepth == 16;
        r->formatNumber = (depth16 ? kSurfaceFormatSoft16 : kSurfaceFormatSoft32) + (r->alpha ? 1 : 0);
        const int pixelFormat = depth16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32;
        uint32_t key = 0xFFFF;
        if (!r->paletted) {
            const ColorFormat& f = GetStandardColorFormat(pixelFormat, r->alpha, 0)->format;
            key = ColorFormatRgbaToPixel(&f, (r->colorKey >> 16) & 0xFF, (r->colorKey >> 8) & 0xFF,
                                         r->colorKey & 0xFF, 255);
        }
        result = CreateMemImg(&r->image, r->width, r->height, -1, key, pixelFormat, r->paletted,
                              r->alpha);
    }
    if (result != 0) {
        ReleaseMemImg(&r->image);
        std::memset(&r->image, 0, sizeof r->image);
        return LogWrite("メモリイメージの作成に失敗しました\n");
    }
    return 0;
}

int CreatePlainSurface(SurfaceDataRecord* r, plat::DirectDraw* dd) {
    r->formatNumber = kSurfaceFormatPlain;
    plat::SurfaceDesc desc = {};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = r->width;
    desc.height = r->height;
    int32_t screenWidth = 0;
    GetScreenSize(&screenWidth, nullptr);
    if (r->softImage == 1) {
        desc.caps.caps = plat::DDSCAPS_SYSTEMMEMORY;
    } else if (r->width <= screenWidth && !ScreenSlot()->isScreenSoftwareDrawn()) {
        desc.caps.caps = plat::DDSCAPS_VIDEOMEMORY | plat::DDSCAPS_3DDEVICE;
    } else {
        desc.caps.caps = plat::DDSCAPS_SYSTEMMEMORY;
    }
    desc.caps.caps |= plat::DDSCAPS_OFFSCREENPLAIN;
    if (dd->CreateSurface(&desc, &r->surface) != plat::DD_OK) {
        // Video memory may be spent: once more in system memory.
        desc.caps.caps = plat::DDSCAPS_SYSTEMMEMORY | plat::DDSCAPS_OFFSCREENPLAIN;
        if (dd->CreateSurface(&desc, &r->surface) != plat::DD_OK) {
            r->surface = nullptr;
            return LogWrite("標準サーフェスの作成に失敗しました\n");
        }
    }
    plat::SurfaceCaps caps = {};
    r->surface->GetCaps(&caps);
    r->softImage = (caps.caps & plat::DDSCAPS_VIDEOMEMORY) == 0 ? 1 : 0;
    r->drawValid = 1;
    return 0;
}

int CreateTextureSurface(SurfaceDataRecord* r, plat::DirectDraw* dd) {
    const DeviceFormatDriver& device = *DeviceFormatSlot();
    SurfacePixelFormat pixelFormat = {};
    const PaletteColorFormat* colorFormat = nullptr;
    const int number =
        device.chooseTextureFormat(r->colorDepth, r->alpha, r->alphaTest, r->drawValid);
    plat::SurfaceDesc desc = {};
    bool made = false;
    if (number >= 0 && device.getTextureFormat(number, &pixelFormat, &colorFormat) == 0) {
        r->formatNumber = static_cast<uint32_t>(number);
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT |
                     plat::DDSD_PIXELFORMAT | plat::DDSD_TEXTURESTAGE;
        desc.width = r->width;
        desc.height = r->height;
        desc.pixelFormat = ToPlatPixelFormat(pixelFormat);
        desc.caps.caps = plat::DDSCAPS_TEXTURE | (r->drawValid ? plat::DDSCAPS_3DDEVICE : 0);
        desc.caps.caps2 = r->drawValid ? 0 : plat::DDSCAPS2_TEXTUREMANAGE;
        desc.textureStage = 0;
        made = dd->CreateSurface(&desc, &r->surface) == plat::DD_OK;
    }
    if (!made) {
        r->surface = nullptr;
        LogWrite("テクスチャサーフェスの作成に失敗しました\n");
        return LogFormat("DrawValid:%d  AlphaChFlag%d  AlphaTestFlag:%d  ColorBitDepth:%d",
                         r->drawValid, r->alpha, r->alphaTest, r->colorDepth);
    }
    const plat::BltFx fx = {0, 0};
    r->surface->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
    return 0;
}

}  // namespace

int CreateSurfaceDataSurface(HandleValue handle) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    plat::DirectDraw* dd = GetDirectDrawObject();
    if (!r->software && dd == nullptr) return -1;
    if (r->surface != nullptr || MemImgHasPixels(&r->image)) return 0;

    int result;
    if (r->software) {
        result = CreateSoftwareImage(r);
    } else if (!r->isTexture) {
        result = CreatePlainSurface(r, dd);
    } else {
        result = CreateTextureSurface(r, dd);
    }
    if (result != 0) return -1;
    SetSurfaceDataZBuffer(handle, static_cast<int>(r->zBufferPresent));
    return 0;
}

int ReleaseSurfaceDataSurfaces(HandleValue handle) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    if (r->software) {
        ReleaseMemImg(&r->image);
        ReleaseMemImg(&r->zImage);
    } else {
        if (r->zSurface != nullptr) {
            if (r->surface != nullptr) r->surface->DeleteAttachedSurface(0, r->zSurface);
            r->zSurface->Release();
            r->zSurface = nullptr;
        }
        if (r->surface != nullptr) {
            r->surface->Release();
            r->surface = nullptr;
        }
    }
    // A lock does not outlive the pixels it pointed at.
    r->lockCount = 0;
    r->lockedPointer = nullptr;
    r->lockedPitch = 0;
    return 0;
}

int SetSurfaceDataZBuffer(HandleValue handle, int wanted) {
    SurfaceDataRecord* r = GetSurfaceData(handle);
    if (r == nullptr) return -1;
    plat::DirectDraw* dd = GetDirectDrawObject();
    if (!r->software && dd == nullptr) return -1;
    wanted = wanted != 0 ? 1 : 0;
    const int exists = r->software ? MemImgHasPixels(&r->zImage) : (r->zSurface != nullptr ? 1 : 0);
    if (static_cast<int>(r->zBufferPresent) == wanted && exists == wanted) return 0;
    if (!r->drawValid) return -1;

    if (!wanted) {
        if (r->software) {
            ReleaseMemImg(&r->zImage);
        } else if (r->zSurface != nullptr) {
            if (r->surface != nullptr) r->surface->DeleteAttachedSurface(0, r->zSurface);
            r->zSurface->Release();
            r->zSurface = nullptr;
        }
        r->zBufferPresent = 0;
        return 0;
    }

    if (!exists) {
        if (r->software) {
            if (InitMemImgZBuffer(&r->zImage, r->width, r->height) != 0) {
                return LogFormat("Ｚバッファの作成に失敗しました");
            }
        } else {
            SurfacePixelFormat zFormat = DefaultZBufferFormat();
            DeviceFormatSlot()->getZBufferFormat(&zFormat);
            plat::SurfaceDesc desc = {};
            desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT |
                         plat::DDSD_PIXELFORMAT;
            desc.width = r->width;
            desc.height = r->height;
            desc.caps.caps = plat::DDSCAPS_ZBUFFER | plat::DDSCAPS_VIDEOMEMORY;
            desc.pixelFormat = ToPlatPixelFormat(zFormat);
            plat::DrawSurface* z = nullptr;
            if (r->surface == nullptr || dd->CreateSurface(&desc, &z) != plat::DD_OK) {
                return LogFormat("Ｚバッファの作成に失敗しました");
            }
            if (r->surface->AddAttachedSurface(z) != plat::DD_OK) {
                z->Release();
                return LogFormat("Ｚバッファの作成に失敗しました");
            }
            r->zSurface = z;
        }
    }
    r->zBufferPresent = 1;
    return 0;
}
