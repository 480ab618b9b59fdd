// Pixels into one texture piece: the texture locked over the destination rectangle and filled
// through TransferPixels in the texture's format; a texture that cannot be locked is filled
// through a system-memory work texture that the device then loads into it. Also the forced
// opaque alpha of pixels copied from the screen.
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/image_transfer/image_transfer_internal.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

int ConvertInto(void* pixels, int32_t pitch, const PaletteColorFormat* format,
                const ResolvedTransferSource& source, const RECT& sourceRect, int keyToAlpha,
                uint32_t colorKey) {
    const GraphImage* alpha = source.hasAlpha ? &source.alpha : nullptr;
    return TransferPixels(pixels, pitch, format, source.colour.pixels, source.colour.pitch,
                          &source.colour.colorFormat,
                          alpha != nullptr ? alpha->pixels : nullptr,
                          alpha != nullptr ? alpha->pitch : 0,
                          alpha != nullptr ? &alpha->colorFormat : nullptr, 0, 0, &sourceRect, 0,
                          keyToAlpha, colorKey, kDitherNone, 0, 0, 0);
}

// The road through a work texture in system memory, loaded into the drawing texture by the
// device. Failing to make the work texture or to load it is fatal.
int TransferThroughWorkTexture(const SurfaceDataRecord& texture,
                               const ResolvedTransferSource& source,
                               const ClippedTransfer& clipped, int keyToAlpha) {
    plat::PixelFormat pixelFormat = {};
    const PaletteColorFormat* format =
        GetTextureFormat(static_cast<int32_t>(texture.formatNumber), &pixelFormat);
    plat::DirectDraw* dd = GetDirectDrawObject();
    plat::SurfaceDesc desc = {};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    desc.width = texture.width;
    desc.height = texture.height;
    desc.pixelFormat = pixelFormat;
    desc.caps.caps = plat::DDSCAPS_TEXTURE | plat::DDSCAPS_SYSTEMMEMORY;
    plat::DrawSurface* work = nullptr;
    if (format == nullptr || dd == nullptr || dd->CreateSurface(&desc, &work) != plat::DD_OK) {
        return FatalExit("テンポラリテクスチャサーフェスの作成に失敗しました");
    }

    const int32_t width = clipped.source.right - clipped.source.left;
    const int32_t height = clipped.source.bottom - clipped.source.top;
    const plat::Rect area = {clipped.x, clipped.y, clipped.x + width, clipped.y + height};
    plat::SurfaceDesc locked = {};
    int result = -1;
    if (work->Lock(&area, &locked, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY) == plat::DD_OK) {
        result = ConvertInto(locked.surface, locked.pitch, format, source, clipped.source,
                             keyToAlpha, texture.colorKey);
        work->Unlock(&area);
    } else {
        LogWrite("テンポラリテクスチャサーフェスのロックに失敗しました\n");
    }
    if (result >= 0) {
        plat::Direct3DDevice* device = GetCurrentDevice3D();
        const plat::Point at = {clipped.x, clipped.y};
        if (device == nullptr || texture.surface == nullptr ||
            device->Load(texture.surface, &at, work, &area, 0) != plat::DD_OK) {
            work->Release();
            return FatalExit(
                "作業用テクスチャサーフェスから描画用テクスチャサーフェスへの画像転送に失敗しま"
                "した");
        }
    }
    work->Release();
    return result < 0 ? -1 : 0;
}

}  // namespace

int TransferImageToTexturePiece(const ImageTransferSource& source, const RECT* sourceRect,
                                int32_t textureX, int32_t textureY, HandleValue handle,
                                int keyToAlpha) {
    if (!Direct3DIsUp()) return -1;
    const Surface3DData* piece = GetSurface3DData(handle);
    if (piece == nullptr) return -1;
    const SurfaceDataRecord* texture = GetSurfaceData(piece->surfaceData);
    if (texture == nullptr) return LogWrite("テクスチャ片のテクスチャが見つかりません\n");
    FlushCurrentDeviceVertices();

    ResolvedTransferSource resolved;
    if (ResolveTransferSource(source, &resolved) != 0) return -1;
    ClippedTransfer clipped;
    int result = 0;
    if (ClipTransferRect(resolved, sourceRect, textureX, textureY, texture->width,
                         texture->height, &clipped)) {
        const RECT area = {clipped.x, clipped.y,
                           clipped.x + (clipped.source.right - clipped.source.left),
                           clipped.y + (clipped.source.bottom - clipped.source.top)};
        int32_t pitch = 0;
        void* pixels = nullptr;
        const PaletteColorFormat* format = nullptr;
        if (LockSurfaceData(piece->surfaceData, &pitch, &pixels, 1, &area, &format) != -1) {
            result = format != nullptr && pixels != nullptr
                         ? ConvertInto(pixels, pitch, format, resolved, clipped.source,
                                       keyToAlpha, texture->colorKey)
                         : -1;
            UnlockSurfaceData(piece->surfaceData, &area);
        } else {
            result = TransferThroughWorkTexture(*texture, resolved, clipped, keyToAlpha);
        }
    }
    ReleaseTransferSource(&resolved);
    if (result < 0) return LogWrite("テクスチャへの画像の転送に失敗しました\n");
    ApplySurfaceDataColorKey(piece->surfaceData);
    return 0;
}

int ForceOpaqueAlpha(const RECT* rect, const plat::SurfaceDesc* desc) {
    const uint32_t mask = desc->pixelFormat.alphaMask;
    const uint32_t bytes = desc->pixelFormat.bitCount / 8;
    if (mask == 0 || (bytes != 2 && bytes != 4) || desc->surface == nullptr) return 0;
    for (int32_t y = rect->top; y < rect->bottom; ++y) {
        uint8_t* p = static_cast<uint8_t*>(desc->surface) + int64_t{y} * desc->pitch +
                     int64_t{rect->left} * bytes;
        for (int32_t x = rect->left; x < rect->right; ++x, p += bytes) {
            if (bytes == 2) {
                uint16_t v;
                std::memcpy(&v, p, 2);
                v = static_cast<uint16_t>(v | mask);
                std::memcpy(p, &v, 2);
            } else if (mask == 0xFF000000u) {
                p[3] = 0xFF;
            } else {
                uint32_t v;
                std::memcpy(&v, p, 4);
                v |= mask;
                std::memcpy(p, &v, 4);
            }
        }
    }
    return 0;
}
