// Internal to the surface layer: the records behind DirectDraw and DrawSurface, the layer's
// global state (video-memory budget, live surfaces, test switches, call log) and the helpers
// its files share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/ddraw_call_log.h"

namespace plat {

class DirectDrawImpl final : public DirectDraw {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult CreateSurface(const SurfaceDesc* desc, DrawSurface** out) override;
    DDResult GetDisplayMode(SurfaceDesc* out) override;
    DDResult GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total,
                                uint32_t* free) override;

    uint32_t refCount = 1;
};

class SurfaceImpl final : public DrawSurface {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult GetSurfaceDesc(SurfaceDesc* out) override;
    DDResult GetCaps(SurfaceCaps* out) override;
    DDResult Lock(const Rect* rect, SurfaceDesc* out, uint32_t flags) override;
    DDResult Unlock(const Rect* rect) override;
    DDResult Blt(const Rect* destRect, DrawSurface* source, const Rect* sourceRect,
                 uint32_t flags, const BltFx* fx) override;
    DDResult BltFast(int32_t x, int32_t y, DrawSurface* source, const Rect* sourceRect,
                     uint32_t flags) override;
    DDResult SetColorKey(uint32_t flags, const ColorKey* key) override;
    DDResult GetColorKey(uint32_t flags, ColorKey* out) override;
    DDResult GetDC(DeviceContext** out) override;
    DDResult ReleaseDC(DeviceContext* dc) override;
    DDResult IsLost() override;
    DDResult Restore() override;
    DDResult AddAttachedSurface(DrawSurface* surface) override;
    DDResult DeleteAttachedSurface(uint32_t flags, DrawSurface* surface) override;
    DDResult GetAttachedSurface(const SurfaceCaps* caps, DrawSurface** out) override;

    // Busy: locked or its DC held.
    bool IsBusy() const { return locked || dc != nullptr; }
    // The first byte of pixel (x, y).
    uint8_t* PixelAt(int32_t x, int32_t y) const {
        return pixels + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * bytesPerPixel;
    }
    // Checks both guard bands; a damaged band is counted, reported and rewritten.
    void CheckGuards(const char* when);

    DirectDrawImpl* owner = nullptr;
    uint32_t refCount = 1;
    uint32_t serial = 0;
    uint32_t width = 0, height = 0;
    int32_t pitch = 0;
    uint32_t bytesPerPixel = 0;
    PixelFormat format = {};
    SurfaceCaps caps = {};        // as asked, memory bits as placed
    bool inVideoMemory = false;
    uint32_t textureStage = 0;
    uint8_t* block = nullptr;     // guard, pixels, guard
    size_t pixelBytes = 0;        // pitch × height
    uint8_t* pixels = nullptr;
    bool hasSourceKey = false;
    ColorKey sourceKey = {};
    bool locked = false;
    Rect lockRect = {};
    DeviceContext* dc = nullptr;
    bool lost = false;
    SurfaceImpl* zBuffer = nullptr;  // attached Z buffer (one reference held)
    SurfaceImpl* attachedTo = nullptr;  // for a Z buffer: the surface it is attached to
};

// Bytes of each guard band and the byte they are filled with.
inline constexpr size_t kGuardBytes = 32;
inline constexpr uint8_t kGuardByte = 0x5A;

struct DDrawGlobals {
    size_t videoBudget = kDefaultVideoMemoryBudget;
    size_t videoInUse = 0;
    uint32_t pitchPadding = 0;
    bool displayOverridden = false;
    PixelFormat displayOverride = {};
    int failCreates = 0;
    int failLocks = 0;
    int failGetDCs = 0;
    bool logging = false;
    std::vector<DDrawCall> calls;
    uint32_t nextSerial = 1;
    uint32_t guardViolations = 0;
    std::vector<SurfaceImpl*> live;
};

DDrawGlobals& DDrawState();
// Takes one pending failure of the kind when there is one.
bool ConsumePending(int* pending);
// Records a call when the log is on; returns result.
DDResult RecordCall(const char* op, uint32_t surface, uint32_t caps, uint32_t flags,
                    const Rect* rect, DDResult result);
// The whole surface as a rectangle; whether r lies inside the surface and is not empty.
Rect WholeRect(const SurfaceImpl* surface);
bool RectInside(const Rect& r, const SurfaceImpl* surface);
// The raw value of the pixel at p of the given size, and the writing of one.
uint32_t ReadPixel(const uint8_t* p, uint32_t bytes);
void WritePixel(uint8_t* p, uint32_t bytes, uint32_t value);
// Same bits per pixel and masks: pixels can be copied between the two.
bool SameLayout(const PixelFormat& a, const PixelFormat& b);
// The display format from the desktop (or the override).
PixelFormat DisplayPixelFormat();

}  // namespace plat
