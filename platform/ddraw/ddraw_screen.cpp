// The screen side of the DirectDraw object: creation as the class factory does it,
// cooperative levels, display modes, capabilities, the primary surface and its flip chain,
// flips, the GDI surface, the simulated raster, and lost primaries.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/core/clock.h"
#include "platform/ddraw/ddraw_internal.h"
#include "platform/display/display.h"
#include "platform/display/display_internal.h"

namespace plat {

namespace {

constexpr uint32_t kLevelFlags = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                                 DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_MULTITHREADED;

uint64_t NowMicroseconds() { return PerformanceCounter() / 1000; }

// Sleeps on the platform clock for at least microseconds.
void SleepMicroseconds(uint64_t microseconds) {
    if (microseconds == 0) return;
    SleepMs(static_cast<uint32_t>(std::min<uint64_t>((microseconds + 999) / 1000, 1000)));
}

}  // namespace

uint8_t* AllocateGuardedBlock(size_t pixelBytes) {
    auto* block = static_cast<uint8_t*>(std::calloc(pixelBytes + 2 * kGuardBytes, 1));
    if (block == nullptr) return nullptr;
    std::memset(block, kGuardByte, kGuardBytes);
    std::memset(block + kGuardBytes + pixelBytes, kGuardByte, kGuardBytes);
    return block;
}

void NoteSurfaceShown(SurfaceImpl* surface) {
    if (surface == nullptr || !surface->isPrimary || surface->lost) return;
    // A back buffer is not shown until it is flipped.
    if (surface->frontBuffer != nullptr) return;
    MarkDisplayChanged();
}

void BindPrimaryToDisplay(SurfaceImpl* surface) {
    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    if (!surface->externalPixels) std::free(surface->block);
    surface->block = nullptr;
    surface->externalPixels = true;
    surface->pixels = fb.pixels;
    surface->pitch = fb.pitch;
    surface->width = static_cast<uint32_t>(fb.width);
    surface->height = static_cast<uint32_t>(fb.height);
    surface->pixelBytes = static_cast<size_t>(fb.pitch) * static_cast<size_t>(fb.height);
}

// ---- creation -----------------------------------------------------------------------------

DDResult CoCreateDirectDraw(DirectDraw** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (ConsumePending(&DDrawState().failDirectDrawCreates)) return DDERR_GENERIC;
    auto* object = new DirectDrawImpl();
    object->initialized = false;
    // From now on the display's changes reach the surfaces made through DirectDraw.
    InstallDisplaySurfaces(kDDrawDisplaySurfaces);
    *out = object;
    return DD_OK;
}

DDResult DirectDrawImpl::Initialize(const void*) {
    if (initialized) return DDERR_ALREADYINITIALIZED;
    if (ConsumePending(&DDrawState().failDirectDrawInitializes)) return DDERR_GENERIC;
    initialized = true;
    return DD_OK;
}

// ---- cooperative level and display modes ----------------------------------------------------

DDResult DirectDrawImpl::SetCooperativeLevel(WindowHandle target, uint32_t flags) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if ((flags & ~kLevelFlags) != 0) return DDERR_INVALIDPARAMS;
    const uint32_t kind = flags & (DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (kind == DDSCL_NORMAL) {
        if (target != 0 && !IsWindow(target)) return DDERR_INVALIDPARAMS;
        if (exclusive) {
            ReleaseExclusiveDisplay(this);
            exclusive = false;
        }
        level = flags;
        window = target;
        if (target != 0) SetDisplayWindow(target);
        return DD_OK;
    }
    if (kind != (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_INVALIDPARAMS;
    if (target == 0 || !IsWindow(target)) return DDERR_INVALIDPARAMS;
    if (exclusive && window != target) return DDERR_HWNDALREADYSET;
    if (!TakeExclusiveDisplay(this)) return DDERR_EXCLUSIVEMODEALREADYSET;
    exclusive = true;
    level = flags;
    window = target;
    SetDisplayWindow(target);
    return DD_OK;
}

DDResult DirectDrawImpl::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                        uint32_t refreshRate, uint32_t flags) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (flags != 0) return DDERR_INVALIDPARAMS;
    if (!exclusive) return DDERR_NOEXCLUSIVEMODE;
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || bitsPerPixel > 64) return DDERR_INVALIDMODE;
    switch (SetFullScreenDisplayMode(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                     static_cast<int32_t>(bitsPerPixel), refreshRate)) {
        case DisplayModeResult::Ok:
            modeSet = true;
            return DD_OK;
        case DisplayModeResult::Busy: return DDERR_EXCLUSIVEMODEALREADYSET;
        default: return DDERR_INVALIDMODE;
    }
}

DDResult DirectDrawImpl::RestoreDisplayMode() {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (modeSet) {
        modeSet = false;
        // Not a mode another owner has set since.
        const void* owner = ExclusiveDisplayOwner();
        if (owner == nullptr || owner == this) RestoreDesktopDisplayMode();
    }
    return DD_OK;
}

DDResult DirectDrawImpl::GetCaps(DDCaps* driverCaps, DDCaps* helCaps) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if ((driverCaps != nullptr && driverCaps->size != sizeof(DDCaps)) ||
        (helCaps != nullptr && helCaps->size != sizeof(DDCaps))) {
        return DDERR_INVALIDPARAMS;
    }
    DDCaps caps = {};
    caps.size = sizeof(DDCaps);
    caps.caps = DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY |
                DDCAPS_PALETTE | DDCAPS_ZBLTS;
    caps.paletteCaps = DDPCAPS_8BIT;
    caps.zBufferBitDepths = 0x400;  // 16-bit depth buffers
    uint32_t total = 0, free = 0;
    GetAvailableVidMem(nullptr, &total, &free);
    caps.vidMemTotal = total;
    caps.vidMemFree = free;
    // No overlays: the stretch factors are those of a display that cannot stretch them.
    caps.minOverlayStretch = 1000;
    caps.maxOverlayStretch = 1000;
    if (driverCaps != nullptr) *driverCaps = caps;
    if (helCaps != nullptr) {
        *helCaps = caps;
        helCaps->vidMemTotal = helCaps->vidMemFree = 0;
    }
    return DD_OK;
}

DDResult DirectDrawImpl::GetMonitorFrequency(uint32_t* out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = DisplayRefreshRate();
    return DD_OK;
}

DDResult DirectDrawImpl::GetDeviceIdentifier(DeviceIdentifier* out, uint32_t) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    std::memset(out, 0, sizeof(*out));
    std::snprintf(out->driver, sizeof(out->driver), "%s", "zn-display");
    std::snprintf(out->description, sizeof(out->description), "%s", "Platform display");
    out->driverVersionHigh = (1u << 16) | 0u;
    out->driverVersionLow = (0u << 16) | 1u;
    return DD_OK;
}

// ---- the raster ---------------------------------------------------------------------------

DDResult DirectDrawImpl::GetScanLine(uint32_t* out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    const RasterPosition r = ReadRaster();
    *out = r.line;
    return r.inVerticalBlank ? DDERR_VERTICALBLANKINPROGRESS : DD_OK;
}

DDResult DirectDrawImpl::GetVerticalBlankStatus(int32_t* out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = ReadRaster().inVerticalBlank ? 1 : 0;
    return DD_OK;
}

DDResult DirectDrawImpl::WaitForVerticalBlank(uint32_t flags, void* event) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (event != nullptr) return DDERR_UNSUPPORTED;
    const RasterPosition r = ReadRaster();
    if (flags == DDWAITVB_BLOCKBEGIN) {
        SleepMicroseconds(r.microsecondsToBlankStart);
        return DD_OK;
    }
    if (flags == DDWAITVB_BLOCKEND) {
        SleepMicroseconds(r.microsecondsToBlankEnd);
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}

// ---- the primary surface --------------------------------------------------------------------

DDResult CreatePrimarySurface(DirectDrawImpl* owner, const SurfaceDesc* desc,
                              DrawSurface** out) {
    DDrawGlobals& state = DDrawState();
    const uint32_t c = desc->caps.caps;
    const uint32_t allowed = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                             DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
    if ((c & ~allowed) != 0 || desc->caps.caps2 != 0) return DDERR_INVALIDCAPS;
    if ((desc->flags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
        return DDERR_INVALIDPARAMS;  // the display decides the primary's size and format
    }
    if (owner->level == 0) return DDERR_NOCOOPERATIVELEVELSET;
    if (owner->primary != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    const bool chain = (c & DDSCAPS_FLIP) != 0;
    if (chain) {
        if ((c & DDSCAPS_COMPLEX) == 0 || (desc->flags & DDSD_BACKBUFFERCOUNT) == 0 ||
            desc->backBufferCount != 1) {
            return DDERR_INVALIDPARAMS;
        }
        if (!owner->exclusive) return DDERR_NOEXCLUSIVEMODE;
    } else if ((c & DDSCAPS_COMPLEX) != 0) {
        return DDERR_INVALIDCAPS;
    }
    if (OtherExclusiveOwnerActive()) return DDERR_NOEXCLUSIVEMODE;
    if (ConsumePending(&state.failCreates)) return DDERR_OUTOFMEMORY;

    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    auto make = [&](uint32_t kindCaps) {
        auto* s = new SurfaceImpl();
        s->owner = owner;
        owner->AddRef();
        s->serial = state.nextSerial++;
        s->width = static_cast<uint32_t>(fb.width);
        s->height = static_cast<uint32_t>(fb.height);
        s->pitch = fb.pitch;
        s->bytesPerPixel = static_cast<uint32_t>(fb.bitsPerPixel / 8);
        s->format = DisplayPixelFormat();
        s->caps.caps = (c & DDSCAPS_3DDEVICE) | DDSCAPS_VIDEOMEMORY | kindCaps;
        s->inVideoMemory = false;  // the display's memory is no part of the budget
        s->isPrimary = true;
        s->pixelBytes = static_cast<size_t>(fb.pitch) * static_cast<size_t>(fb.height);
        state.live.push_back(s);
        return s;
    };
    if (!chain) {
        SurfaceImpl* primary = make(DDSCAPS_PRIMARYSURFACE);
        primary->externalPixels = true;
        primary->pixels = fb.pixels;
        owner->primary = primary;
        *out = primary;
        return DD_OK;
    }
    uint8_t* frontBlock = AllocateGuardedBlock(static_cast<size_t>(fb.pitch) * fb.height);
    uint8_t* backBlock = AllocateGuardedBlock(static_cast<size_t>(fb.pitch) * fb.height);
    if (frontBlock == nullptr || backBlock == nullptr) {
        std::free(frontBlock);
        std::free(backBlock);
        return DDERR_OUTOFMEMORY;
    }
    SurfaceImpl* front = make(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                              DDSCAPS_FRONTBUFFER);
    SurfaceImpl* back = make(DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    front->block = frontBlock;
    front->pixels = frontBlock + kGuardBytes;
    front->gdiBlock = frontBlock;
    back->block = backBlock;
    back->pixels = backBlock + kGuardBytes;
    front->backBuffer = back;  // the front holds the back buffer's one reference
    back->frontBuffer = front;
    owner->primary = front;
    SetDisplayScanout(front->pixels, front->pitch);
    *out = front;
    return DD_OK;
}

DDResult RestorePrimary(SurfaceImpl* surface) {
    if ((surface->caps.caps & DDSCAPS_BACKBUFFER) != 0 && surface->frontBuffer == nullptr) {
        // A back buffer that outlived its front is memory of its own and nothing more.
        if (surface->lost) {
            std::memset(surface->pixels, kRestoredSurfacePoisonByte, surface->pixelBytes);
            surface->lost = false;
        }
        return DD_OK;
    }
    SurfaceImpl* front = surface->frontBuffer != nullptr ? surface->frontBuffer : surface;
    if (!front->lost && (front->backBuffer == nullptr || !front->backBuffer->lost)) return DD_OK;
    if (OtherExclusiveOwnerActive()) return DDERR_NOEXCLUSIVEMODE;
    const DisplayMode mode = CurrentDisplayMode();
    const bool chain = front->backBuffer != nullptr;
    if (chain) {
        if (!DisplayInFullScreenMode() || ExclusiveDisplayOwner() != front->owner ||
            static_cast<int32_t>(front->width) != mode.width ||
            static_cast<int32_t>(front->height) != mode.height ||
            static_cast<int32_t>(front->format.bitCount) != mode.bitsPerPixel) {
            return DDERR_WRONGMODE;
        }
        for (SurfaceImpl* s : {front, front->backBuffer}) {
            std::memset(s->pixels, kRestoredSurfacePoisonByte, s->pixelBytes);
            s->lost = false;
        }
        SetDisplayScanout(front->pixels, front->pitch);
        MarkDisplayChanged();
        return DD_OK;
    }
    if (static_cast<int32_t>(front->format.bitCount) != mode.bitsPerPixel) return DDERR_WRONGMODE;
    BindPrimaryToDisplay(front);
    front->lost = false;
    return DD_OK;
}

// A primary (or its back buffer) made lost: a windowed primary keeps private memory so that
// nothing points at a framebuffer that is gone.
void LosePrimary(SurfaceImpl* s) {
    if (s->lost) return;
    s->lost = true;
    if (s->externalPixels) {
        uint8_t* block = AllocateGuardedBlock(s->pixelBytes);
        if (block == nullptr) std::abort();  // nothing may keep pointing at the old buffer
        s->block = block;
        s->pixels = block + kGuardBytes;
        s->externalPixels = false;
    }
}

namespace {

void LoseEveryPrimary() {
    for (SurfaceImpl* s : DDrawState().live) {
        if (s->isPrimary) LosePrimary(s);
    }
}

bool ReportedDisplayMasks(int32_t bitsPerPixel, uint32_t* red, uint32_t* green, uint32_t* blue) {
    const PixelFormat format = DisplayPixelFormat();
    if (static_cast<int32_t>(format.bitCount) != bitsPerPixel || format.redMask == 0) {
        return false;
    }
    *red = format.redMask;
    *green = format.greenMask;
    *blue = format.blueMask;
    return true;
}

}  // namespace

const DisplaySurfacesDriver kDDrawDisplaySurfaces = {
    .displayModeChanged = LoseEveryPrimary,
    .displayTakenByOtherOwner = LoseEveryPrimary,
    .displayFormatMasks = ReportedDisplayMasks,
};

// ---- flips ----------------------------------------------------------------------------------

DDResult SurfaceImpl::Flip(DrawSurface* target, uint32_t flags) {
    DDResult result = DD_OK;
    if ((flags & ~(DDFLIP_WAIT | DDFLIP_NOVSYNC)) != 0) {
        result = DDERR_INVALIDPARAMS;
    } else if (backBuffer == nullptr) {
        result = DDERR_NOTFLIPPABLE;
    } else if (target != nullptr && target != backBuffer) {
        result = DDERR_INVALIDPARAMS;
    } else if (lost || backBuffer->lost) {
        result = DDERR_SURFACELOST;
    } else if (IsBusy() || backBuffer->IsBusy()) {
        result = DDERR_SURFACEBUSY;
    } else {
        const uint64_t now = NowMicroseconds();
        // A flip without the vertical-blank wait replaces a pending one at once.
        if (flipPendingUntil > now && (flags & DDFLIP_NOVSYNC) == 0) {
            if ((flags & DDFLIP_WAIT) == 0) {
                result = DDERR_WASSTILLDRAWING;
            } else {
                SleepMicroseconds(flipPendingUntil - now);
            }
        }
        if (result == DD_OK) {
            std::swap(block, backBuffer->block);
            std::swap(pixels, backBuffer->pixels);
            flipPendingUntil = (flags & DDFLIP_NOVSYNC) != 0
                                   ? 0
                                   : NowMicroseconds() + ReadRaster().microsecondsToBlankStart;
            SetDisplayScanout(pixels, pitch);
            MarkDisplayChanged();
        }
    }
    return RecordCall("Flip", serial, 0, flags, nullptr, result);
}

DDResult DirectDrawImpl::FlipToGDISurface() {
    if (!initialized) return DDERR_NOTINITIALIZED;
    SurfaceImpl* front = primary;
    if (front == nullptr || front->backBuffer == nullptr) return DD_OK;
    if (front->lost) return DDERR_SURFACELOST;
    if (front->IsBusy() || front->backBuffer->IsBusy()) return DDERR_SURFACEBUSY;
    if (front->block != front->gdiBlock) {
        std::swap(front->block, front->backBuffer->block);
        std::swap(front->pixels, front->backBuffer->pixels);
        SetDisplayScanout(front->pixels, front->pitch);
        MarkDisplayChanged();
    }
    front->flipPendingUntil = 0;
    return RecordCall("FlipToGDISurface", front->serial, 0, 0, nullptr, DD_OK);
}

DDResult SurfaceImpl::EnumAttachedSurfaces(void* context, EnumSurfacesCallback callback) {
    if (callback == nullptr) return DDERR_INVALIDPARAMS;
    SurfaceImpl* attached[2] = {backBuffer, zBuffer};
    for (SurfaceImpl* s : attached) {
        if (s == nullptr) continue;
        s->AddRef();
        SurfaceDesc desc;
        s->GetSurfaceDesc(&desc);
        if (callback(s, &desc, context) == 0) break;
    }
    return DD_OK;
}

// ---- clippers and palettes on surfaces ----------------------------------------------------

bool ClipperArea(const SurfaceImpl* surface, Rect* out) {
    if (surface->clipper == nullptr) return false;
    Rect clip{};
    if (surface->clipper->GetClipRect(&clip) != DD_OK) {
        *out = Rect{0, 0, 0, 0};
        return true;
    }
    const Rect whole = WholeRect(surface);
    out->left = std::max(clip.left, whole.left);
    out->top = std::max(clip.top, whole.top);
    out->right = std::min(clip.right, whole.right);
    out->bottom = std::min(clip.bottom, whole.bottom);
    if (out->right < out->left) out->right = out->left;
    if (out->bottom < out->top) out->bottom = out->top;
    return true;
}

DDResult SurfaceImpl::SetClipper(DrawClipper* given) {
    auto* next = static_cast<ClipperImpl*>(given);
    if (next == nullptr && clipper == nullptr) return DDERR_NOCLIPPERATTACHED;
    if (next != nullptr) next->AddRef();
    if (clipper != nullptr) clipper->Release();
    clipper = next;
    if (next != nullptr && next->window != 0 && isPrimary) SetDisplayWindow(next->window);
    return RecordCall("SetClipper", serial, 0, 0, nullptr, DD_OK);
}

DDResult SurfaceImpl::GetClipper(DrawClipper** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = clipper;
    if (clipper == nullptr) return DDERR_NOCLIPPERATTACHED;
    clipper->AddRef();
    return DD_OK;
}

namespace {

void ShowPalette(const PaletteImpl* palette) {
    uint8_t rgb[256][3];
    for (int i = 0; i < 256; ++i) {
        rgb[i][0] = palette->entries[i].red;
        rgb[i][1] = palette->entries[i].green;
        rgb[i][2] = palette->entries[i].blue;
    }
    SetDisplayPalette(rgb);
}

}  // namespace

DDResult SurfaceImpl::SetPalette(DrawPalette* given) {
    auto* next = static_cast<PaletteImpl*>(given);
    if (next != nullptr && (format.flags & DDPF_PALETTEINDEXED8) == 0) return DDERR_NOTPALETTIZED;
    if (next == nullptr && palette == nullptr) return DDERR_NOPALETTEATTACHED;
    const bool shown = isPrimary && frontBuffer == nullptr;
    if (next != nullptr) {
        next->AddRef();
        if (shown) {
            ++next->primaryUsers;
            ShowPalette(next);
        }
    }
    if (palette != nullptr) {
        if (shown) --palette->primaryUsers;
        palette->Release();
    }
    palette = next;
    return DD_OK;
}

DDResult SurfaceImpl::GetPalette(DrawPalette** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = palette;
    if (palette == nullptr) return DDERR_NOPALETTEATTACHED;
    palette->AddRef();
    return DD_OK;
}

// ---- clipper and palette objects ------------------------------------------------------------

DDResult DirectDrawImpl::CreateClipper(uint32_t flags, DrawClipper** out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (flags != 0) return DDERR_INVALIDPARAMS;
    *out = new ClipperImpl();
    return DD_OK;
}

uint32_t ClipperImpl::AddRef() { return ++refCount; }

uint32_t ClipperImpl::Release() {
    const uint32_t left = --refCount;
    if (left == 0) delete this;
    return left;
}

DDResult ClipperImpl::SetHWnd(uint32_t flags, WindowHandle target) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    if (target != 0 && !IsWindow(target)) return DDERR_INVALIDPARAMS;
    window = target;
    if (target != 0) SetDisplayWindow(target);
    return DD_OK;
}

DDResult ClipperImpl::GetHWnd(WindowHandle* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = window;
    return DD_OK;
}

DDResult ClipperImpl::GetClipRect(Rect* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    if (window == 0) return DDERR_NOHWND;
    Rect client{};
    if (!WindowClientOnDesktop(window, &client)) return DDERR_NOHWND;
    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    out->left = std::clamp(client.left, 0, fb.width);
    out->top = std::clamp(client.top, 0, fb.height);
    out->right = std::clamp(client.right, out->left, fb.width);
    out->bottom = std::clamp(client.bottom, out->top, fb.height);
    return DD_OK;
}

DDResult DirectDrawImpl::CreatePalette(uint32_t flags, const PaletteEntry* entries,
                                       DrawPalette** out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if ((flags & DDPCAPS_8BIT) == 0 || (flags & ~(DDPCAPS_8BIT | DDPCAPS_ALLOW256)) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    auto* palette = new PaletteImpl();
    palette->caps = flags;
    if (entries != nullptr) std::memcpy(palette->entries, entries, sizeof(palette->entries));
    *out = palette;
    return DD_OK;
}

uint32_t PaletteImpl::AddRef() { return ++refCount; }

uint32_t PaletteImpl::Release() {
    const uint32_t left = --refCount;
    if (left == 0) delete this;
    return left;
}

DDResult PaletteImpl::SetEntries(uint32_t flags, uint32_t start, uint32_t count,
                                 const PaletteEntry* given) {
    if (flags != 0 || given == nullptr || start > 256 || count > 256 - start) {
        return DDERR_INVALIDPARAMS;
    }
    std::memcpy(entries + start, given, count * sizeof(PaletteEntry));
    if (primaryUsers > 0) ShowPalette(this);
    return DD_OK;
}

DDResult PaletteImpl::GetEntries(uint32_t flags, uint32_t start, uint32_t count,
                                 PaletteEntry* out) {
    if (flags != 0 || out == nullptr || start > 256 || count > 256 - start) {
        return DDERR_INVALIDPARAMS;
    }
    std::memcpy(out, entries + start, count * sizeof(PaletteEntry));
    return DD_OK;
}

DDResult PaletteImpl::GetCaps(uint32_t* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = caps;
    return DD_OK;
}

}  // namespace plat
