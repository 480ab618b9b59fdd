// Where the saved rectangle's pixels are read from: the draw target's software image, or its
// DirectDraw surface locked for reading (through the work surface when the target lies in
// video memory, which is slow to read).
#include <cstring>

#include "base/log.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/screen_save/screen_save_internal.h"
#include "platform/ddraw/ddraw.h"

namespace {

bool Inside(const RECT& r, int32_t width, int32_t height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height &&
           r.left < r.right && r.top < r.bottom;
}

int FromImage(const MEMIMG* image, const RECT& rect, ScreenPixelSource* out) {
    if (image == nullptr || !MemImgHasPixels(image)) {
        return LogWrite("保存する描画先に画像がありません\n");
    }
    const PaletteColorFormat* format =
        GetStandardColorFormat(image->pixelFormat, image->alpha, image->paletted);
    if (format == nullptr || !Inside(rect, image->width, image->height)) {
        return LogWrite("保存する矩形が描画先の画像に収まりません\n");
    }
    out->format = format;
    out->pitch = image->pitch;
    out->pixels = image->pixels + static_cast<ptrdiff_t>(rect.top) * image->pitch +
                  static_cast<ptrdiff_t>(rect.left) * format->format.bytes;
    return 0;
}

// Locks the whole surface for reading; the first pixel and the pitch. False on failure.
bool LockForReading(plat::DrawSurface* surface, plat::SurfaceDesc* desc) {
    return surface->Lock(nullptr, desc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) ==
           plat::DD_OK;
}

}  // namespace

int OpenScreenPixelSource(const RECT& rect, ScreenPixelSource* out) {
    std::memset(out, 0, sizeof *out);
    out->width = rect.right - rect.left;
    out->height = rect.bottom - rect.top;
    const TargetScreen screen = ReadTargetScreen();
    const DrawTargetSurface& target = GetDrawTargetSurface();
    if (screen.softwareScreen) {
        if (GetDrawState().drawTarget == kDrawTargetFront) ReadBackFrontScreen();
        return FromImage(target.image, rect, out);
    }
    // A graph target held as a software image on a DirectDraw screen is read directly.
    if (target.surface == nullptr) return FromImage(target.image, rect, out);
    if (screen.screenFormat == nullptr) return LogWrite("画面のピクセルフォーマットがありません\n");

    // The rectangle on the target's surface: moved by the target's place in it (a derived
    // graph) and, on the front of a windowed screen, by the window's place on the desktop.
    const DrawState& draw = GetDrawState();
    const int32_t originX = target.offsetX + draw.frontScreenRect.left;
    const int32_t originY = target.offsetY + draw.frontScreenRect.top;
    const RECT onSurface{rect.left + originX, rect.top + originY, rect.right + originX,
                         rect.bottom + originY};
    plat::DrawSurface* read = target.surface;
    int32_t readX = onSurface.left, readY = onSurface.top;
    if (target.inVideoMemory) {
        plat::SurfaceDesc workDesc{};
        if (screen.work == nullptr || screen.work->GetSurfaceDesc(&workDesc) != plat::DD_OK ||
            !Inside(RECT{0, 0, out->width, out->height}, static_cast<int32_t>(workDesc.width),
                    static_cast<int32_t>(workDesc.height)) ||
            CopySurfaceRect(screen.work, target.surface, 0, 0, &onSurface, -1) != 0) {
            return LogWrite("作業用サーフェスへの転送に失敗しました\n");
        }
        read = screen.work;
        readX = 0;
        readY = 0;
    }
    plat::SurfaceDesc desc{};
    if (!LockForReading(read, &desc)) return LogWrite("作業用サーフェスのロックに失敗しました\n");
    if (!Inside(RECT{readX, readY, readX + out->width, readY + out->height},
                static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height))) {
        read->Unlock(nullptr);
        return LogWrite("保存する矩形がサーフェスに収まりません\n");
    }
    out->locked = read;
    out->format = screen.screenFormat;
    out->pitch = desc.pitch;
    out->pixels = static_cast<const uint8_t*>(desc.surface) +
                  static_cast<ptrdiff_t>(readY) * desc.pitch +
                  static_cast<ptrdiff_t>(readX) * screen.screenFormat->format.bytes;
    return 0;
}

void CloseScreenPixelSource(ScreenPixelSource* source) {
    if (source->locked != nullptr) source->locked->Unlock(nullptr);
    source->locked = nullptr;
}
