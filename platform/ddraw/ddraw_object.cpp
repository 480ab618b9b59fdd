// The DirectDraw object: its references, the display mode it reports and the video-memory
// budget it answers for.
#include <cstring>

#include "platform/ddraw/ddraw_internal.h"
#include "platform/core/system_info.h"
#include "platform/display/display.h"
#include "platform/display/display_internal.h"

namespace plat {

DDResult CreateDirectDraw(DirectDraw** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = new DirectDrawImpl();
    // From now on the display's changes reach the surfaces made through DirectDraw.
    InstallDisplaySurfaces(kDDrawDisplaySurfaces);
    return DD_OK;
}

uint32_t DirectDrawImpl::AddRef() { return ++refCount; }

uint32_t DirectDrawImpl::Release() {
    const uint32_t left = --refCount;
    if (left != 0) return left;
    // The last reference gives the display back: its mode and its exclusive hold.
    RestoreDisplayMode();
    if (exclusive) ReleaseExclusiveDisplay(this);
    delete this;
    return 0;
}

PixelFormat DisplayPixelFormat() {
    const DDrawGlobals& state = DDrawState();
    if (state.displayOverridden) return state.displayOverride;
    PixelFormat format = {};
    format.size = sizeof(PixelFormat);
    switch (CurrentDisplayMode().bitsPerPixel) {
        case 8:
            format.flags = DDPF_RGB | DDPF_PALETTEINDEXED8;
            format.bitCount = 8;
            break;
        case 16:
            format.flags = DDPF_RGB;
            format.bitCount = 16;
            format.redMask = 0xF800;
            format.greenMask = 0x07E0;
            format.blueMask = 0x001F;
            break;
        default:
            format.flags = DDPF_RGB;
            format.bitCount = 32;
            format.redMask = 0xFF0000;
            format.greenMask = 0xFF00;
            format.blueMask = 0xFF;
            break;
    }
    return format;
}

DDResult DirectDrawImpl::GetDisplayMode(SurfaceDesc* out) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    const DisplayMode mode = CurrentDisplayMode();
    std::memset(out, 0, sizeof(*out));
    out->flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_PITCH | DDSD_REFRESHRATE;
    out->width = static_cast<uint32_t>(mode.width);
    out->height = static_cast<uint32_t>(mode.height);
    out->pixelFormat = DisplayPixelFormat();
    out->pitch = static_cast<int32_t>(out->width * (out->pixelFormat.bitCount / 8));
    out->refreshRate = mode.refreshRate;
    return DD_OK;
}

DDResult DirectDrawImpl::GetAvailableVidMem(const SurfaceCaps*, uint32_t* total,
                                            uint32_t* free) {
    if (!initialized) return DDERR_NOTINITIALIZED;
    const DDrawGlobals& state = DDrawState();
    auto clamp = [](size_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); };
    if (total != nullptr) *total = clamp(state.videoBudget);
    if (free != nullptr) {
        *free = clamp(state.videoInUse >= state.videoBudget ? 0
                                                            : state.videoBudget - state.videoInUse);
    }
    return DD_OK;
}

}  // namespace plat
