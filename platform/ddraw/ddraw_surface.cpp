// A surface's life and description: references, release, caps, colour keys, guard bands and
// attached Z buffers.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/ddraw_internal.h"
#include "platform/display/display.h"
#include "platform/display/display_internal.h"
#include "platform/gdi/gdi_internal.h"

namespace plat {

uint32_t SurfaceImpl::AddRef() { return ++refCount; }

uint32_t SurfaceImpl::Release() {
    const uint32_t left = --refCount;
    if (left != 0) return left;

    DDrawGlobals& state = DDrawState();
    RecordCall("Release", serial, 0, 0, nullptr, DD_OK);
    if (dc != nullptr) {
        DestroySurfaceDC(dc);
        dc = nullptr;
    }
    if (zBuffer != nullptr) {
        zBuffer->attachedTo = nullptr;
        zBuffer->Release();
        zBuffer = nullptr;
    }
    if (clipper != nullptr) {
        clipper->Release();
        clipper = nullptr;
    }
    if (palette != nullptr) {
        if (isPrimary && frontBuffer == nullptr) --palette->primaryUsers;
        palette->Release();
        palette = nullptr;
    }
    if (owner->primary == this) owner->primary = nullptr;
    if (backBuffer != nullptr) {
        // The front of a flip chain: the display stops showing its memory.
        DropDisplayScanout(pixels);
        backBuffer->frontBuffer = nullptr;
        backBuffer->Release();
        backBuffer = nullptr;
    }
    CheckGuards("Release");
    if (inVideoMemory) state.videoInUse -= pixelBytes;
    if (!externalPixels) std::free(block);
    state.live.erase(std::remove(state.live.begin(), state.live.end(), this), state.live.end());
    DirectDrawImpl* object = owner;
    delete this;
    object->Release();
    return 0;
}

void SurfaceImpl::CheckGuards(const char* when) {
    if (externalPixels || block == nullptr) return;
    uint8_t* bands[2] = {block, block + kGuardBytes + pixelBytes};
    for (uint8_t* band : bands) {
        const bool intact =
            std::all_of(band, band + kGuardBytes, [](uint8_t b) { return b == kGuardByte; });
        if (intact) continue;
        ++DDrawState().guardViolations;
        std::fprintf(stderr, "surface #%u: guard band %s its pixels overwritten (found at %s)\n",
                     serial, band == block ? "before" : "after", when);
        std::memset(band, kGuardByte, kGuardBytes);
    }
}

DDResult SurfaceImpl::GetSurfaceDesc(SurfaceDesc* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    std::memset(out, 0, sizeof(*out));
    out->flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    out->width = width;
    out->height = height;
    out->pitch = pitch;
    out->pixelFormat = format;
    out->caps = caps;
    if (hasSourceKey) {
        out->flags |= DDSD_CKSRCBLT;
        out->srcBltKey = sourceKey;
    }
    if (textureStage != 0) {
        out->flags |= DDSD_TEXTURESTAGE;
        out->textureStage = textureStage;
    }
    if (backBuffer != nullptr) {
        out->flags |= DDSD_BACKBUFFERCOUNT;
        out->backBufferCount = 1;
    }
    return DD_OK;
}

DDResult SurfaceImpl::GetCaps(SurfaceCaps* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = caps;
    return DD_OK;
}

DDResult SurfaceImpl::SetColorKey(uint32_t flags, const ColorKey* key) {
    DDResult result = DD_OK;
    if (flags != DDCKEY_SRCBLT) {
        result = DDERR_INVALIDPARAMS;
    } else if (key == nullptr) {
        hasSourceKey = false;
    } else {
        hasSourceKey = true;
        sourceKey = *key;
    }
    return RecordCall("SetColorKey", serial, 0, flags, nullptr, result);
}

DDResult SurfaceImpl::GetColorKey(uint32_t flags, ColorKey* out) {
    if (flags != DDCKEY_SRCBLT || out == nullptr) return DDERR_INVALIDPARAMS;
    if (!hasSourceKey) return DDERR_NOCOLORKEY;
    *out = sourceKey;
    return DD_OK;
}

DDResult SurfaceImpl::IsLost() { return lost ? DDERR_SURFACELOST : DD_OK; }

DDResult SurfaceImpl::Restore() {
    if (isPrimary) return RecordCall("Restore", serial, 0, 0, nullptr, RestorePrimary(this));
    if (lost) {
        std::memset(pixels, kRestoredSurfacePoisonByte, pixelBytes);
        lost = false;
    }
    return RecordCall("Restore", serial, 0, 0, nullptr, DD_OK);
}

DDResult SurfaceImpl::AddAttachedSurface(DrawSurface* surface) {
    auto* z = static_cast<SurfaceImpl*>(surface);
    DDResult result = DD_OK;
    if (z == nullptr || z == this) {
        result = DDERR_INVALIDPARAMS;
    } else if ((z->caps.caps & DDSCAPS_ZBUFFER) == 0 || (caps.caps & DDSCAPS_ZBUFFER) != 0 ||
               z->width != width || z->height != height || z->attachedTo != nullptr) {
        result = DDERR_CANNOTATTACHSURFACE;
    } else if (zBuffer != nullptr) {
        result = DDERR_SURFACEALREADYATTACHED;
    } else {
        z->AddRef();
        z->attachedTo = this;
        zBuffer = z;
    }
    return RecordCall("AddAttachedSurface", serial, 0, 0, nullptr, result);
}

DDResult SurfaceImpl::DeleteAttachedSurface(uint32_t flags, DrawSurface* surface) {
    DDResult result = DD_OK;
    if (zBuffer == nullptr || (surface != nullptr && surface != zBuffer)) {
        result = DDERR_SURFACENOTATTACHED;
    } else {
        SurfaceImpl* z = zBuffer;
        zBuffer = nullptr;
        z->attachedTo = nullptr;
        z->Release();
    }
    return RecordCall("DeleteAttachedSurface", serial, 0, flags, nullptr, result);
}

DDResult SurfaceImpl::GetAttachedSurface(const SurfaceCaps* wanted, DrawSurface** out) {
    if (wanted == nullptr || out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    for (SurfaceImpl* attached : {backBuffer, zBuffer}) {
        if (attached == nullptr || (attached->caps.caps & wanted->caps) != wanted->caps) continue;
        attached->AddRef();
        *out = attached;
        return DD_OK;
    }
    return DDERR_NOTFOUND;
}

}  // namespace plat
