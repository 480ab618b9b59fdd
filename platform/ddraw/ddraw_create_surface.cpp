// Making a surface: checking the description, choosing where it lives, sizing its rows and
// allocating its pixels between two guard bands.
#include <bit>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/ddraw_internal.h"

namespace plat {

namespace {

constexpr uint32_t kKnownCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY |
                                DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY |
                                DDSCAPS_ZBUFFER;
constexpr uint32_t kKindCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER;
constexpr uint32_t kMemoryCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
constexpr uint32_t kMaxSide = 16384;
// No surface's pixels take more than this.
constexpr uint64_t kMaxPixelBytes = 1ull << 30;

// A mask is usable when its bits are one run inside the pixel.
bool MaskFits(uint32_t mask, uint32_t bits) {
    if (mask == 0) return true;
    if (bits < 32 && (mask >> bits) != 0) return false;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

bool RgbFormatValid(const PixelFormat& f) {
    if ((f.flags & DDPF_RGB) == 0 || (f.flags & (DDPF_FOURCC | DDPF_ZBUFFER)) != 0) {
        return false;
    }
    if (f.bitCount != 8 && f.bitCount != 16 && f.bitCount != 24 && f.bitCount != 32) {
        return false;
    }
    const uint32_t masks[4] = {f.redMask, f.greenMask, f.blueMask, f.alphaMask};
    uint32_t seen = 0;
    for (uint32_t mask : masks) {
        if (!MaskFits(mask, f.bitCount) || (seen & mask) != 0) return false;
        seen |= mask;
    }
    return true;
}

bool ZFormatValid(const PixelFormat& f) {
    return (f.flags & DDPF_ZBUFFER) != 0 && f.bitCount == 16;
}

DDResult CheckCaps(const SurfaceCaps& caps) {
    if ((caps.caps & ~kKnownCaps) != 0) return DDERR_INVALIDCAPS;
    if (std::popcount(caps.caps & kKindCaps) != 1) return DDERR_INVALIDCAPS;
    if ((caps.caps & kMemoryCaps) == kMemoryCaps) return DDERR_INVALIDCAPS;
    if ((caps.caps2 & ~DDSCAPS2_TEXTUREMANAGE) != 0) return DDERR_INVALIDCAPS;
    if ((caps.caps2 & DDSCAPS2_TEXTUREMANAGE) != 0 &&
        ((caps.caps & DDSCAPS_TEXTURE) == 0 || (caps.caps & kMemoryCaps) != 0)) {
        return DDERR_INVALIDCAPS;
    }
    return DD_OK;
}

DDResult Create(DirectDrawImpl* owner, const SurfaceDesc* desc, DrawSurface** out) {
    DDrawGlobals& state = DDrawState();
    if (desc == nullptr || out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    const uint32_t needed = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    if ((desc->flags & needed) != needed) return DDERR_INVALIDPARAMS;
    if (DDResult r = CheckCaps(desc->caps); r != DD_OK) return r;
    if (desc->width == 0 || desc->height == 0 || desc->width > kMaxSide ||
        desc->height > kMaxSide) {
        return DDERR_INVALIDPARAMS;
    }

    const bool isZ = (desc->caps.caps & DDSCAPS_ZBUFFER) != 0;
    PixelFormat format;
    if (isZ) {
        if ((desc->flags & DDSD_PIXELFORMAT) == 0 || !ZFormatValid(desc->pixelFormat)) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        format = desc->pixelFormat;
        format.redMask = format.blueMask = format.alphaMask = 0;
        format.greenMask = 0xFFFF;
    } else if ((desc->flags & DDSD_PIXELFORMAT) != 0) {
        if (!RgbFormatValid(desc->pixelFormat)) return DDERR_INVALIDPIXELFORMAT;
        format = desc->pixelFormat;
    } else {
        format = DisplayPixelFormat();
    }
    format.size = sizeof(PixelFormat);

    if (ConsumePending(&state.failCreates)) return DDERR_OUTOFMEMORY;
    if ((desc->caps.caps & DDSCAPS_TEXTURE) != 0 && ConsumePending(&state.failTextureCreates)) {
        return DDERR_OUTOFVIDEOMEMORY;
    }

    const uint32_t bytesPerPixel = format.bitCount / 8;
    const uint64_t rowBytes = static_cast<uint64_t>(desc->width) * bytesPerPixel;
    const uint64_t pitch = (rowBytes + 7) / 8 * 8 + state.pitchPadding;
    const uint64_t pixelBytes = pitch * desc->height;
    if (pitch > 0x7FFFFFFF || pixelBytes > kMaxPixelBytes) return DDERR_OUTOFMEMORY;

    // Where it lives: managed textures in system memory; otherwise video memory when asked
    // for or when nothing was asked and the budget allows.
    const bool managed = (desc->caps.caps2 & DDSCAPS2_TEXTUREMANAGE) != 0;
    const bool wantVideo = (desc->caps.caps & DDSCAPS_VIDEOMEMORY) != 0;
    const bool wantSystem = (desc->caps.caps & DDSCAPS_SYSTEMMEMORY) != 0;
    const bool fits = state.videoInUse <= state.videoBudget &&
                      pixelBytes <= state.videoBudget - state.videoInUse;
    bool inVideo = false;
    if (!managed && !wantSystem) {
        if (fits) {
            inVideo = true;
        } else if (wantVideo) {
            return DDERR_OUTOFVIDEOMEMORY;
        }
    }

    uint8_t* block = AllocateGuardedBlock(static_cast<size_t>(pixelBytes));
    if (block == nullptr) return DDERR_OUTOFMEMORY;

    auto* surface = new SurfaceImpl();
    surface->owner = owner;
    owner->AddRef();
    surface->serial = state.nextSerial++;
    surface->width = desc->width;
    surface->height = desc->height;
    surface->pitch = static_cast<int32_t>(pitch);
    surface->bytesPerPixel = bytesPerPixel;
    surface->format = format;
    surface->caps.caps =
        (desc->caps.caps & ~kMemoryCaps) | (inVideo ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    surface->caps.caps2 = desc->caps.caps2;
    surface->inVideoMemory = inVideo;
    surface->textureStage = (desc->flags & DDSD_TEXTURESTAGE) != 0 ? desc->textureStage : 0;
    surface->block = block;
    surface->pixelBytes = static_cast<size_t>(pixelBytes);
    surface->pixels = block + kGuardBytes;
    if ((desc->flags & DDSD_CKSRCBLT) != 0) {
        surface->hasSourceKey = true;
        surface->sourceKey = desc->srcBltKey;
    }
    if (inVideo) state.videoInUse += surface->pixelBytes;
    state.live.push_back(surface);
    *out = surface;
    return DD_OK;
}

}  // namespace

DDResult DirectDrawImpl::CreateSurface(const SurfaceDesc* desc, DrawSurface** out) {
    DDResult result;
    if (!initialized) {
        result = DDERR_NOTINITIALIZED;
    } else if (desc != nullptr && out != nullptr && (desc->flags & DDSD_CAPS) != 0 &&
               (desc->caps.caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        *out = nullptr;
        result = CreatePrimarySurface(this, desc, out);
    } else {
        result = Create(this, desc, out);
    }
    const uint32_t serial =
        result == DD_OK ? static_cast<SurfaceImpl*>(*out)->serial : 0;
    return RecordCall("CreateSurface", serial, desc != nullptr ? desc->caps.caps : 0,
                      desc != nullptr ? desc->flags : 0, nullptr, result);
}

}  // namespace plat
