// Software drawing on a draw target held in DirectDraw surfaces: the BltFast case, the lock of
// the smallest rectangle, the work surfaces that keep video memory from being read and that
// carry the conversion to and from the standard format, and the end that undoes it all.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>

#include "base/log.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

constexpr int32_t kKernelMarginBefore = 2;
constexpr int32_t kKernelMarginAfter = 4;

// An edge moved by the margin, held inside the 32-bit range.
int32_t Widened(int32_t edge, int32_t by) {
    const int64_t moved = int64_t{edge} + by;
    return static_cast<int32_t>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
}

RECT Moved(const RECT& r, int32_t dx, int32_t dy) {
    return RECT{Widened(r.left, dx), Widened(r.top, dy), Widened(r.right, dx),
                Widened(r.bottom, dy)};
}

// 1 when the rectangle lies inside (0, 0, width, height) of the surface.
bool FitsSurface(plat::DrawSurface* surface, const RECT& r) {
    plat::SurfaceDesc desc{};
    if (surface == nullptr || surface->GetSurfaceDesc(&desc) != plat::DD_OK) return false;
    return r.left >= 0 && r.top >= 0 && r.right <= static_cast<int32_t>(desc.width) &&
           r.bottom <= static_cast<int32_t>(desc.height);
}

// The work surface a rectangle of width x height is copied to at (0, 0): the screen's, which
// has the screen's size, when the rectangle fits it; else one of the rectangle's own size made
// for this draw like the screen's (plain, in system memory, in the display's format) and
// stored in *made, for the end of the draw to release. Null, after a log line, when it cannot
// be made.
plat::DrawSurface* WorkSurfaceFor(plat::DrawSurface* screenWork, int32_t width, int32_t height,
                                  plat::DrawSurface** made) {
    if (FitsSurface(screenWork, RECT{0, 0, width, height})) return screenWork;
    plat::DirectDraw* const directDraw = GetDirectDrawObject();
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = static_cast<uint32_t>(width);
    desc.height = static_cast<uint32_t>(height);
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
    plat::DrawSurface* surface = nullptr;
    if (directDraw == nullptr ||
        !plat::DDSucceeded(directDraw->CreateSurface(&desc, &surface)) || surface == nullptr) {
        LogFormat("作業用サーフェス（%d x %d）の作成に失敗しました\n", width, height);
        return nullptr;
    }
    *made = surface;
    return surface;
}

// Releases the work surfaces made for the draw.
void ReleaseMadeWork(SoftDrawState& sd) {
    for (plat::DrawSurface** made : {&sd.madeWork, &sd.madeWork2}) {
        if (*made != nullptr) (*made)->Release();
        *made = nullptr;
    }
}

// Locks r of the surface; the pointer to its first pixel and the pitch. False on failure.
bool LockRect(plat::DrawSurface* surface, const RECT& r, uint8_t** pixels, int32_t* pitch) {
    const plat::Rect rect = ToPlatRect(r);
    plat::SurfaceDesc desc{};
    if (surface->Lock(&rect, &desc, plat::DDLOCK_WAIT) != plat::DD_OK) return false;
    *pixels = static_cast<uint8_t*>(desc.surface);
    *pitch = desc.pitch;
    return true;
}

void UnlockRect(plat::DrawSurface* surface, const RECT& r) {
    const plat::Rect rect = ToPlatRect(r);
    surface->Unlock(&rect);
}

// Converts a locked rectangle of w x h pixels in place between two formats of one pixel size.
void ConvertInPlace(uint8_t* pixels, int32_t pitch, int32_t w, int32_t h,
                    const PaletteColorFormat* to, const PaletteColorFormat* from) {
    const RECT all{0, 0, w, h};
    TransferPixels(pixels, pitch, to, pixels, pitch, from, nullptr, 0, nullptr, 0, 0, &all, 0,
                   0, 0, kDitherNone, 0, 0, 0);
}

// A view in the standard format over locked pixels: origin is the pixel the lock's first
// pixel stands for, so that the view is addressed in the caller's coordinates.
void BuildLockedView(MEMIMG* view, uint8_t* locked, int32_t pitch, int32_t originX,
                     int32_t originY, int32_t width, int32_t height, uint32_t colorKey) {
    const int32_t format = ScreenStandardMemImgFormat();
    const int32_t bytes = MemImgBytesPerPixel(format, 0, 0);
    std::memset(view, 0, sizeof(MEMIMG));
    view->pixels = locked - static_cast<ptrdiff_t>(originX) * bytes -
                   static_cast<ptrdiff_t>(originY) * pitch;
    CreateMemImg(view, width, height, pitch, colorKey, format, 0, 0);
}

// Undoes what a failed begin had done: unlocks the destination and releases the work
// surfaces made for it. Nothing was drawn, so the work surface needs no copy back.
int AbandonBegin(SoftDrawState& sd) {
    if (sd.destLocked) UnlockRect(sd.destSurface, sd.destRect);
    if (sd.sourceLocked) UnlockRect(sd.sourceSurface, sd.sourceRect);
    ReleaseMadeWork(sd);
    std::memset(&sd, 0, sizeof sd);
    return -1;
}

int BeginSoftDrawCore(const Surface2DRecord* record, int wantSource, const RECT* sourceRect,
                      const RECT* destRect, int writeOnly, uint32_t* colourA, uint32_t* colourB,
                      bool allowBltFast) {
    const TargetScreen screen = ReadTargetScreen();
    if (screen.softwareScreen) return 0;

    SoftDrawState& sd = GetSoftDrawState();
    // Draws never nest; one left open would keep its surfaces locked.
    if (sd.begun) EndSoftDraw();
    std::memset(&sd, 0, sizeof sd);

    DrawState& draw = GetDrawState();
    const DrawTargetSurface& target = GetDrawTargetSurface();
    // While the mask is active a draw goes into the mask screen's surface, which is addressed
    // like the draw target itself; the mask's bracket carries it onto the target.
    const bool masked = draw.maskActive != 0;
    plat::DrawSurface* const destination = masked ? MaskSlot()->maskSurface() : target.surface;
    if (masked && destination == nullptr) return -1;

    SurfaceDataRecord* source = nullptr;
    if (record != nullptr) {
        source = GetSurfaceData(record->surfaceData);
        if (source == nullptr) return -1;
    }
    if (!wantSource) source = nullptr;

    const bool needsBlend = (draw.blendMode == kBlendAlpha && draw.blendParam != 255) ||
                            (draw.blendMode != kBlendNone && draw.blendMode != kBlendAlpha) ||
                            (source != nullptr && source->alpha) || draw.blendGraph != kNoHandle;
    const bool bright = (draw.bright & 0xFFFFFF) != kBrightWhite;
    const bool videoTarget = masked ? draw.maskInVideoMemory != 0 : target.inVideoMemory != 0;
    // The target's origin on its surface: a derived graph's place in its parent, and on the
    // front of a windowed screen drawn through the primary, the window's place on the desktop.
    const int32_t originX = masked ? 0 : target.offsetX + draw.frontScreenRect.left;
    const int32_t originY = masked ? 0 : target.offsetY + draw.frontScreenRect.top;

    // The mask screen has the screen's size; a graph target may be larger. Beyond the mask
    // there are no mask bytes to let drawing through, so a masked draw reaches only the part
    // of the target the mask screen covers.
    RECT maskArea{0, 0, INT32_MAX, INT32_MAX};
    if (masked) {
        plat::SurfaceDesc maskDesc{};
        if (destination->GetSurfaceDesc(&maskDesc) != plat::DD_OK) return -1;
        maskArea = RECT{0, 0, static_cast<int32_t>(maskDesc.width),
                        static_cast<int32_t>(maskDesc.height)};
    }
    const bool destFits = !masked || FitsSurface(destination, *destRect);

    if (allowBltFast && destFits && source != nullptr && sourceRect != nullptr && !needsBlend &&
        !bright &&
        !source->software && source->surface != nullptr && destination != nullptr &&
        (source->softImage != 0) == !videoTarget) {
        sd.useBltFast = 1;
        sd.sourceSurface = source->surface;
        sd.sourceRect = Moved(*sourceRect, record->sourceX, record->sourceY);
        sd.destSurface = destination;
        sd.destRect = Moved(*destRect, originX, originY);
        return 0;
    }

    sd.convertFormat =
        screen.pixelFormatClass == 1 || screen.pixelFormatClass == 3 ? 1 : 0;
    sd.clipRect = *destRect;
    if (!allowBltFast) {
        // A kernel's own bounds may pass the box its caller measured by a few pixels (the
        // rotated draw's margin): the locked rectangle takes them in, within the draw area.
        sd.clipRect = KernelReach(sd.clipRect);
    }
    ClipRectInPlace(&sd.clipRect, &draw.drawArea);
    if (masked) ClipRectInPlace(&sd.clipRect, &maskArea);
    if (sd.clipRect.left == sd.clipRect.right || sd.clipRect.top == sd.clipRect.bottom) return -1;
    const int32_t clipW = sd.clipRect.right - sd.clipRect.left;
    const int32_t clipH = sd.clipRect.bottom - sd.clipRect.top;
    const PaletteColorFormat* standard = ScreenStandardFormat();

    if (!masked && target.image != nullptr && MemImgHasPixels(target.image)) {
        sd.destImage = target.image;
    } else {
        if (destination == nullptr) return -1;
        sd.destImage = &sd.destView;
        sd.viaWork = (videoTarget && needsBlend) || (sd.convertFormat && (needsBlend || !writeOnly))
                         ? 1
                         : 0;
        const RECT locked = Moved(sd.clipRect, originX, originY);
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        if (sd.viaWork) {
            // A rectangle of a target larger than the screen may not fit the screen's work
            // surface: it goes through one of its own size.
            const RECT atOrigin{0, 0, clipW, clipH};
            plat::DrawSurface* const work = WorkSurfaceFor(screen.work, clipW, clipH, &sd.madeWork);
            if (work == nullptr || CopySurfaceRect(work, destination, 0, 0, &locked, -1) != 0) {
                return AbandonBegin(sd);
            }
            sd.destSurface = work;
            sd.destRect = atOrigin;
            sd.workOrigin = destination;
            sd.workOriginX = locked.left;
            sd.workOriginY = locked.top;
            if (!LockRect(sd.destSurface, sd.destRect, &pixels, &pitch)) return AbandonBegin(sd);
            sd.destLocked = 1;
            if (sd.convertFormat) {
                ConvertInPlace(pixels, pitch, clipW, clipH, standard, screen.screenFormat);
                if (colourA != nullptr) {
                    *colourA = ConvertPixel(&standard->format, &screen.screenFormat->format,
                                            *colourA);
                }
                if (colourB != nullptr) {
                    *colourB = ConvertPixel(&standard->format, &screen.screenFormat->format,
                                            *colourB);
                }
            }
        } else {
            sd.destSurface = destination;
            sd.destRect = locked;
            if (!LockRect(sd.destSurface, sd.destRect, &pixels, &pitch)) return AbandonBegin(sd);
            sd.destLocked = 1;
        }
        BuildLockedView(&sd.destView, pixels, pitch, sd.clipRect.left, sd.clipRect.top,
                        draw.targetWidth, draw.targetHeight, 0);
    }

    if (source != nullptr) {
        if (source->software) {
            if (record->width == source->width && record->height == source->height) {
                sd.sourceImage = &source->image;
            } else if (MemImgHasPixels(&source->image) &&
                       record->sourceX + record->width <= source->image.width &&
                       record->sourceY + record->height <= source->image.height) {
                InitMemImgView(&sd.sourceView, &source->image, record->sourceX, record->sourceY,
                               record->width, record->height);
                sd.sourceImage = &sd.sourceView;
            } else {
                return AbandonBegin(sd);
            }
        } else {
            if (source->surface == nullptr || sourceRect == nullptr) return AbandonBegin(sd);
            sd.sourceViaWork2 = !source->softImage || sd.convertFormat ? 1 : 0;
            // The kernel reads the graph's own pixels only: what the caller asks beyond them
            // (a texture box past the graph's edge) is not locked.
            RECT wanted = *sourceRect;
            if (!allowBltFast) {
                // A kernel's source box may name its last texel inclusively (the triangle's):
                // one more column and row keep that texel inside.
                wanted.right = Widened(wanted.right, 1);
                wanted.bottom = Widened(wanted.bottom, 1);
            }
            const RECT own{0, 0, record->width, record->height};
            ClipRectInPlace(&wanted, &own);
            const RECT q = Moved(wanted, record->sourceX, record->sourceY);
            const int32_t qW = q.right - q.left;
            const int32_t qH = q.bottom - q.top;
            if (qW <= 0 || qH <= 0) return AbandonBegin(sd);
            uint8_t* pixels = nullptr;
            int32_t pitch = 0;
            if (sd.sourceViaWork2) {
                // A graph larger than the screen may not fit the screen's second work surface:
                // it goes through one of its own size.
                const RECT atOrigin{0, 0, qW, qH};
                plat::DrawSurface* const work2 =
                    WorkSurfaceFor(screen.work2, qW, qH, &sd.madeWork2);
                if (work2 == nullptr ||
                    CopySurfaceRect(work2, source->surface, 0, 0, &q, -1) != 0) {
                    return AbandonBegin(sd);
                }
                sd.sourceSurface = work2;
                sd.sourceRect = atOrigin;
                if (!LockRect(sd.sourceSurface, sd.sourceRect, &pixels, &pitch)) {
                    return AbandonBegin(sd);
                }
                sd.sourceLocked = 1;
                if (sd.convertFormat) {
                    ConvertInPlace(pixels, pitch, qW, qH, standard, screen.screenFormat);
                }
            } else {
                sd.sourceSurface = source->surface;
                sd.sourceRect = q;
                if (!LockRect(sd.sourceSurface, sd.sourceRect, &pixels, &pitch)) {
                    return AbandonBegin(sd);
                }
                sd.sourceLocked = 1;
            }
            const uint32_t key = ColorFormatRgbaToPixel(
                &standard->format, (source->colorKey >> 16) & 0xFF, (source->colorKey >> 8) & 0xFF,
                source->colorKey & 0xFF, 255);
            BuildLockedView(&sd.sourceView, pixels, pitch, wanted.left, wanted.top,
                            record->width, record->height, key);
            sd.sourceImage = &sd.sourceView;
        }
    }

    // Every kernel clips to the draw area: narrowed to the locked rectangle, nothing can be
    // written outside it.
    if (sd.destLocked) {
        sd.savedDrawArea = draw.drawArea;
        draw.drawArea = sd.clipRect;
        sd.drawAreaNarrowed = 1;
    }
    sd.begun = 1;
    return 0;
}

}  // namespace

RECT KernelReach(const RECT& box) {
    return RECT{Widened(box.left, -kKernelMarginBefore), Widened(box.top, -kKernelMarginBefore),
                Widened(box.right, kKernelMarginAfter), Widened(box.bottom, kKernelMarginAfter)};
}

plat::Rect ToPlatRect(const RECT& r) { return plat::Rect{r.left, r.top, r.right, r.bottom}; }

int BeginSoftDraw(const Surface2DRecord* record, int wantSource, const RECT* sourceRect,
                  const RECT* destRect, int writeOnly, uint32_t* colourA, uint32_t* colourB) {
    return BeginSoftDrawCore(record, wantSource, sourceRect, destRect, writeOnly, colourA,
                             colourB, true);
}

int BeginSoftDrawForKernel(const Surface2DRecord* record, int wantSource, const RECT* sourceRect,
                           const RECT* destRect, int writeOnly, uint32_t* colourA,
                           uint32_t* colourB) {
    return BeginSoftDrawCore(record, wantSource, sourceRect, destRect, writeOnly, colourA,
                             colourB, false);
}

int EndSoftDraw() {
    SoftDrawState& sd = GetSoftDrawState();
    if (!sd.begun) return 0;
    if (sd.viaWork && sd.convertFormat && sd.destLocked) {
        const TargetScreen screen = ReadTargetScreen();
        const RECT& r = sd.destRect;
        const MEMIMG& view = sd.destView;
        // The view's pixel pointer stands for the clip rectangle's origin moved back; the
        // lock's first pixel is at the clip rectangle's top-left.
        const int32_t bytes = view.colorFormat != nullptr ? view.colorFormat->bytes : 2;
        uint8_t* locked = view.pixels + static_cast<ptrdiff_t>(sd.clipRect.left) * bytes +
                          static_cast<ptrdiff_t>(sd.clipRect.top) * view.pitch;
        ConvertInPlace(locked, view.pitch, r.right - r.left, r.bottom - r.top,
                       screen.screenFormat, ScreenStandardFormat());
    }
    if (sd.destLocked) UnlockRect(sd.destSurface, sd.destRect);
    if (sd.sourceLocked) UnlockRect(sd.sourceSurface, sd.sourceRect);
    if (sd.viaWork) {
        CopySurfaceRect(sd.workOrigin, sd.destSurface, sd.workOriginX, sd.workOriginY,
                        &sd.destRect, -1);
    }
    if (sd.drawAreaNarrowed) GetDrawState().drawArea = sd.savedDrawArea;
    ReleaseMadeWork(sd);
    std::memset(&sd, 0, sizeof sd);
    return 0;
}
