// The screen surfaces (or, on a software screen, the images that stand for them), the
// screen's colour information and the 8-bit palette.
#include <cstring>
#include <initializer_list>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_internal.h"
#include "platform/ddraw/ddraw.h"

namespace {

// Every pixel of an image set to value (2 or 4 bytes a pixel).
void FillImage(MEMIMG* image, uint32_t value) {
    const int bytes = MemImgBytesPerPixel(image->pixelFormat, image->paletted, image->alpha);
    for (int32_t y = 0; y < image->height; ++y) {
        uint8_t* row = image->pixels + static_cast<size_t>(y) * image->pitch;
        for (int32_t x = 0; x < image->width; ++x) {
            if (bytes == 2) {
                const uint16_t v = static_cast<uint16_t>(value);
                std::memcpy(row + x * 2, &v, 2);
            } else if (bytes == 4) {
                std::memcpy(row + x * 4, &value, 4);
            }
        }
    }
}

uint32_t BackgroundPixel(const MEMIMG& image) {
    int32_t r = 0, g = 0, b = 0;
    GetScreenBackgroundColor(&r, &g, &b);
    return ColorFormatRgbaToPixel(image.colorFormat, r, g, b, 255);
}

void ColorFill(plat::DrawSurface* surface, uint32_t color) {
    plat::BltFx fx = {};
    fx.fillColor = color;
    surface->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
}

uint32_t BackgroundScreenColor() {
    int32_t r = 0, g = 0, b = 0;
    GetScreenBackgroundColor(&r, &g, &b);
    return MakeScreenColor(r, g, b);
}

plat::DrawSurface* CreatePlain(int32_t width, int32_t height, uint32_t caps) {
    plat::SurfaceDesc desc = {};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = static_cast<uint32_t>(width);
    desc.height = static_cast<uint32_t>(height);
    desc.caps.caps = caps;
    plat::DrawSurface* surface = nullptr;
    if (!plat::DDSucceeded(GetScreenState().directDraw->CreateSurface(&desc, &surface))) {
        return nullptr;
    }
    return surface;
}

const char* MemoryName(plat::DrawSurface* surface) {
    plat::SurfaceCaps caps = {};
    if (surface != nullptr) surface->GetCaps(&caps);
    return (caps.caps & plat::DDSCAPS_VIDEOMEMORY) != 0 ? "VIDEOMEMORY" : "SYSTEMMEMORY";
}

int32_t ClassOf(uint32_t bits, uint32_t r, uint32_t g, uint32_t b) {
    if (bits == 16 && r == 0xF800 && g == 0x7E0 && b == 0x1F) return kScreenClass565;
    if (bits == 16 && r == 0x7C00 && g == 0x3E0 && b == 0x1F) return kScreenClass555;
    if (bits == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF) return kScreenClass888;
    return kScreenClassOther;
}

int CreateSoftwareImages(ScreenState& s, int32_t width, int32_t height) {
    s.screenImagesExist = 1;
    s.work = s.work2 = s.zSurface = nullptr;
    const int format = s.displayDepth == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32;
    if (InitMemImgPlain(&s.primaryImage, width, height, format) != 0) {
        return FatalExit("プライマリサーフェス用の MEMIMG の作成に失敗しました\n");
    }
    if (InitMemImgPlain(&s.backImage, width, height, format) != 0) {
        return FatalExit("バックサーフェス用の MEMIMG の作成に失敗しました\n");
    }
    if (InitMemImgZBuffer(&s.zImage, width, height) != 0) {
        return FatalExit("Ｚバッファサーフェス用の MEMIMG の作成に失敗しました\n");
    }
    FillImage(&s.primaryImage, BackgroundPixel(s.primaryImage));
    FillImage(&s.backImage, BackgroundPixel(s.backImage));
    return 0;
}

int CreateHardwareSurfaces(ScreenState& s, int32_t width, int32_t height) {
    s.screenImagesExist = 0;
    s.displayDepth = s.screenDepth;
    plat::DirectDraw* dd = s.directDraw;
    const uint32_t background = BackgroundScreenColor();
    plat::SurfaceDesc desc = {};
    desc.flags = plat::DDSD_CAPS;
    if (ScreenIsWindowed()) {
        desc.caps.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_3DDEVICE;
        if (!plat::DDSucceeded(dd->CreateSurface(&desc, &s.primary))) {
            s.primary = nullptr;
            return FatalExit("プライマリサーフェスの作成に失敗しました");
        }
        // Copies onto the primary stay inside the library window.
        if (s.clipper != nullptr) s.primary->SetClipper(s.clipper);
        s.back = CreatePlain(width, height, plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE);
        if (s.back == nullptr) return FatalExit("バックサーフェスの作成に失敗しました");
        ColorFill(s.back, background);
    } else {
        desc.flags |= plat::DDSD_BACKBUFFERCOUNT;
        desc.backBufferCount = 1;
        desc.caps.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP |
                         plat::DDSCAPS_COMPLEX | plat::DDSCAPS_3DDEVICE;
        if (!plat::DDSucceeded(dd->CreateSurface(&desc, &s.primary))) {
            s.primary = nullptr;
            return FatalExit("プライマリサーフェスの作成に失敗しました");
        }
        const plat::SurfaceCaps backCaps{plat::DDSCAPS_BACKBUFFER, 0};
        if (!plat::DDSucceeded(s.primary->GetAttachedSurface(&backCaps, &s.back))) {
            s.back = nullptr;
            return FatalExit("バックバッファのポインタ取得に失敗しました");
        }
        // Both buffers of the chain show the background.
        ColorFill(s.back, background);
        s.primary->Flip(nullptr, plat::DDFLIP_WAIT | plat::DDFLIP_NOVSYNC);
        ColorFill(s.back, background);
        s.primary->Flip(nullptr, plat::DDFLIP_WAIT | plat::DDFLIP_NOVSYNC);
        ColorFill(s.back, background);
    }
    if (s.useTempPrimary) {
        s.tempPrimary =
            CreatePlain(width, height, plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE);
        if (s.tempPrimary == nullptr) {
            return FatalExit("テンポラリプライマリサーフェスの作成に失敗しました");
        }
        ColorFill(s.tempPrimary, background);
    }
    const uint32_t workCaps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
    const uint32_t keyColor = MakeScreenColor((GetDrawState().colorKey >> 16) & 0xFF,
                                              (GetDrawState().colorKey >> 8) & 0xFF,
                                              GetDrawState().colorKey & 0xFF);
    const plat::ColorKey key{keyColor, keyColor};
    s.work = CreatePlain(width, height, workCaps);
    if (s.work == nullptr) return FatalExit("作業用サーフェスの作成に失敗しました");
    s.work->SetColorKey(plat::DDCKEY_SRCBLT, &key);
    s.work2 = CreatePlain(width, height, workCaps);
    if (s.work2 == nullptr) return FatalExit("作業用サーフェス２の作成に失敗しました");
    s.work2->SetColorKey(plat::DDCKEY_SRCBLT, &key);

    plat::SurfaceDesc z = {};
    z.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    z.width = static_cast<uint32_t>(width);
    z.height = static_cast<uint32_t>(height);
    z.caps.caps = plat::DDSCAPS_ZBUFFER;
    z.pixelFormat.size = sizeof(plat::PixelFormat);
    z.pixelFormat.flags = plat::DDPF_ZBUFFER;
    z.pixelFormat.bitCount = 16;
    z.pixelFormat.greenMask = 0xFFFF;
    if (!plat::DDSucceeded(dd->CreateSurface(&z, &s.zSurface))) {
        s.zSurface = nullptr;
        LogWrite("Ｚバッファの作成に失敗しました\n");
        return -1;
    }
    if (!plat::DDSucceeded(s.back->AddAttachedSurface(s.zSurface))) {
        s.zSurface->Release();
        s.zSurface = nullptr;
        LogWrite("Ｚバッファの作成に失敗しました\n");
        return -1;
    }
    return 0;
}

void ReleaseSurface(plat::DrawSurface*& surface) {
    if (surface != nullptr) surface->Release();
    surface = nullptr;
}

}  // namespace

int CreateScreenSurfaces() {
    ScreenState& s = GetScreenState();
    if (!s.noDirectDraw && (s.directDraw == nullptr || s.primary != nullptr)) return -1;
    LogWrite("出力画面用の DirectDrawSurface を作成します\n");
    LogIndentAdd();
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const int result = s.noDirectDraw ? CreateSoftwareImages(s, width, height)
                                      : CreateHardwareSurfaces(s, width, height);
    if (result != 0) {
        LogIndentSub();
        return -1;
    }
    s.overlayFormat = -1;
    LogWrite("各スクリーンメモリの配置位置\n");
    LogIndentAdd();
    if (s.noDirectDraw) {
        LogWrite("PrimaryBuffer : SYSTEMMEMORY( MEMIMG ) ");
        LogWrite("BaskBuffer : SYSTEMMEMORY( MEMIMG ) ");
    } else {
        LogWriteFormat("PrimaryBuffer : %s  ", MemoryName(s.primary));
        LogWriteFormat("BaskBuffer : %s  ", MemoryName(s.back));
    }
    LogIndentSub();
    LogIndentSub();
    LogWrite("出力画面用の DirectDrawSurface の作成は正常に終了しました\n");
    return 0;
}

int ReleaseScreenSurfaces() {
    ScreenState& s = GetScreenState();
    if (s.zSurface != nullptr) {
        if (s.back != nullptr) s.back->DeleteAttachedSurface(0, s.zSurface);
        ReleaseSurface(s.zSurface);
    }
    if (s.primary != nullptr) {
        LogWrite("メインサーフェスを破棄をします... 完了しました\n");
        plat::DrawClipper* attached = nullptr;
        if (plat::DDSucceeded(s.primary->GetClipper(&attached))) {
            attached->Release();
            s.primary->SetClipper(nullptr);
        }
        ReleaseSurface(s.back);
        ReleaseSurface(s.primary);
    }
    ReleaseSurface(s.back);
    ReleaseSurface(s.tempPrimary);
    ReleaseSurface(s.work);
    ReleaseSurface(s.work2);
    if (s.primaryImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.primaryImage);
    if (s.backImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.backImage);
    if (s.zImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.zImage);
    s.screenImagesExist = 0;
    return 0;
}

int RestoreScreenSurfaces() {
    ScreenState& s = GetScreenState();
    if (s.directDraw == nullptr) return -1;
    for (plat::DrawSurface* surface : {s.primary, s.tempPrimary, s.back, s.zSurface}) {
        if (surface != nullptr && surface->IsLost() == plat::DDERR_SURFACELOST) surface->Restore();
    }
    return 0;
}

int ReadScreenColorInfo() {
    ScreenState& s = GetScreenState();
    if (s.noDirectDraw) {
        int32_t depth = s.displayDepth != 0 ? s.displayDepth : s.screenDepth;
        if (depth != 16 && depth != 32) depth = 16;
        s.displayDepth = depth;
        if (depth == 32) {
            BuildColorFormat(&s.screenFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
            MakeRgbPixelFormat(&s.screenPixelFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
            s.pixelFormatClass = kScreenClass888;
        } else {
            BuildColorFormat(&s.screenFormat, 16, 0xF800, 0x7E0, 0x1F, 0);
            MakeRgbPixelFormat(&s.screenPixelFormat, 16, 0xF800, 0x7E0, 0x1F, 0);
            s.pixelFormatClass = kScreenClass565;
        }
        return 0;
    }
    plat::SurfaceDesc mode = {};
    if (s.directDraw == nullptr || !plat::DDSucceeded(s.directDraw->GetDisplayMode(&mode))) return 0;
    const plat::PixelFormat& pf = mode.pixelFormat;
    static_assert(sizeof(SurfacePixelFormat) == sizeof(plat::PixelFormat));
    std::memcpy(&s.screenPixelFormat, &pf, sizeof pf);
    ColorFormatFromPixelFormat(&s.screenPixelFormat, &s.screenFormat);
    LogWrite("カラー情報\n");
    LogIndentAdd();
    LogFormat("A:%08x  B:%08x  G:%08x  B:%08x", pf.alphaMask, pf.redMask, pf.greenMask,
              pf.blueMask);
    LogIndentSub();
    s.screenDepth = static_cast<int32_t>(pf.bitCount);
    s.pixelFormatClass = ClassOf(pf.bitCount, pf.redMask, pf.greenMask, pf.blueMask);
    return 0;
}

// The 8-bit palette: a 6 x 6 x 6 colour cube over the first 216 entries, then greys.
namespace {
void FillDefaultPalette(plat::PaletteEntry* entries) {
    for (int i = 0; i < 256; ++i) {
        plat::PaletteEntry& e = entries[i];
        if (i < 216) {
            e.red = static_cast<uint8_t>(i / 36 * 51);
            e.green = static_cast<uint8_t>(i / 6 % 6 * 51);
            e.blue = static_cast<uint8_t>(i % 6 * 51);
        } else {
            const uint8_t grey = static_cast<uint8_t>((i - 216) * 255 / 39);
            e.red = e.green = e.blue = grey;
        }
        e.flags = 0;
    }
}

struct PaletteSetting {
    plat::DrawPalette* palette;
};

int32_t SetPaletteOnAttached(plat::DrawSurface* surface, plat::SurfaceDesc*, void* context) {
    surface->SetPalette(static_cast<PaletteSetting*>(context)->palette);
    surface->Release();
    return 1;
}

int MakePalette(ScreenState& s) {
    if (!plat::DDSucceeded(s.directDraw->CreatePalette(plat::DDPCAPS_8BIT | plat::DDPCAPS_ALLOW256,
                                                       s.paletteEntries, &s.palette))) {
        s.palette = nullptr;
        return FatalExit("パレットの作成に失敗しました");
    }
    if (s.primary != nullptr) s.primary->SetPalette(s.palette);
    if (ScreenIsWindowed()) {
        if (s.back != nullptr) s.back->SetPalette(s.palette);
    } else if (s.primary != nullptr) {
        PaletteSetting setting{s.palette};
        s.primary->EnumAttachedSurfaces(&setting, SetPaletteOnAttached);
    }
    return 0;
}
}  // namespace

int CreateScreenPalette() {
    ScreenState& s = GetScreenState();
    if (s.noDirectDraw || s.directDraw == nullptr || s.palette != nullptr || s.screenDepth != 8) {
        return 0;
    }
    FillDefaultPalette(s.paletteEntries);
    MakePalette(s);
    return 0;
}

int RebuildScreenPalette() {
    ScreenState& s = GetScreenState();
    if (s.displayDepth != 8 || s.noDirectDraw || s.directDraw == nullptr) return 0;
    if (s.palette != nullptr) {
        s.palette->GetEntries(0, 0, 256, s.paletteEntries);
        s.palette->Release();
        s.palette = nullptr;
    }
    if (MakePalette(s) == 0 && s.palette != nullptr) {
        s.palette->SetEntries(0, 0, 256, s.paletteEntries);
    }
    return 0;
}
