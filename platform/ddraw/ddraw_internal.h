// Internal to the surface layer: the records behind DirectDraw and DrawSurface, the layer's
// global state (video-memory budget, live surfaces, test switches, call log) and the helpers
// its files share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/ddraw_call_log.h"
#include "platform/display/display_internal.h"

namespace plat {

class DirectDrawImpl final : public DirectDraw {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult CreateSurface(const SurfaceDesc* desc, DrawSurface** out) override;
    DDResult GetDisplayMode(SurfaceDesc* out) override;
    DDResult GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total,
                                uint32_t* free) override;
    DDResult Initialize(const void* guid) override;
    DDResult SetCooperativeLevel(WindowHandle window, uint32_t flags) override;
    DDResult SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                            uint32_t refreshRate, uint32_t flags) override;
    DDResult RestoreDisplayMode() override;
    DDResult GetCaps(DDCaps* driverCaps, DDCaps* helCaps) override;
    DDResult CreateClipper(uint32_t flags, DrawClipper** out) override;
    DDResult CreatePalette(uint32_t flags, const PaletteEntry* entries,
                           DrawPalette** out) override;
    DDResult FlipToGDISurface() override;
    DDResult GetScanLine(uint32_t* out) override;
    DDResult GetVerticalBlankStatus(int32_t* out) override;
    DDResult WaitForVerticalBlank(uint32_t flags, void* event) override;
    DDResult GetMonitorFrequency(uint32_t* out) override;
    DDResult GetDeviceIdentifier(DeviceIdentifier* out, uint32_t flags) override;
    DDResult QueryDirect3D(Direct3D** out) override;

    uint32_t refCount = 1;
    bool initialized = true;
    uint32_t level = 0;            // the cooperative level set (0: none yet)
    WindowHandle window = 0;       // the window of the level
    bool exclusive = false;        // holds the display (DDSCL_EXCLUSIVE)
    bool modeSet = false;          // set a full-screen mode that RestoreDisplayMode undoes
    class SurfaceImpl* primary = nullptr;  // the primary surface made by this object (weak)
};

class ClipperImpl final : public DrawClipper {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult SetHWnd(uint32_t flags, WindowHandle window) override;
    DDResult GetHWnd(WindowHandle* out) override;
    DDResult GetClipRect(Rect* out) override;

    uint32_t refCount = 1;
    WindowHandle window = 0;
};

class PaletteImpl final : public DrawPalette {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult SetEntries(uint32_t flags, uint32_t start, uint32_t count,
                        const PaletteEntry* entries) override;
    DDResult GetEntries(uint32_t flags, uint32_t start, uint32_t count,
                        PaletteEntry* out) override;
    DDResult GetCaps(uint32_t* out) override;

    uint32_t refCount = 1;
    uint32_t caps = 0;
    PaletteEntry entries[256] = {};
    int primaryUsers = 0;  // primary surfaces it is set on (their colours are the display's)
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
    DDResult EnumAttachedSurfaces(void* context, EnumSurfacesCallback callback) override;
    DDResult Flip(DrawSurface* target, uint32_t flags) override;
    DDResult SetClipper(DrawClipper* clipper) override;
    DDResult GetClipper(DrawClipper** out) override;
    DDResult SetPalette(DrawPalette* palette) override;
    DDResult GetPalette(DrawPalette** out) override;

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

    // The screen side.
    bool isPrimary = false;        // DDSCAPS_PRIMARYSURFACE (or the back buffer of one)
    bool externalPixels = false;   // pixels are the display's framebuffer (windowed primary)
    SurfaceImpl* backBuffer = nullptr;  // front of a flip chain: its back buffer (a reference)
    SurfaceImpl* frontBuffer = nullptr; // back buffer: its front (weak)
    uint8_t* gdiBlock = nullptr;   // front: the block it had when made (the GDI surface)
    uint64_t flipPendingUntil = 0; // front: microseconds on the clock when a flip shows
    ClipperImpl* clipper = nullptr;  // one reference held
    PaletteImpl* palette = nullptr;  // one reference held
};

// Allocates a guarded block for pixelBytes (null when out of memory); the guard bands are set.
uint8_t* AllocateGuardedBlock(size_t pixelBytes);
// The display's framebuffer changed (Blt, Unlock, ReleaseDC, Flip on a primary).
void NoteSurfaceShown(SurfaceImpl* surface);
// Binds a windowed primary's pixels to the display framebuffer again.
void BindPrimaryToDisplay(SurfaceImpl* surface);
// Makes a primary surface (CreateSurface with DDSCAPS_PRIMARYSURFACE).
DDResult CreatePrimarySurface(DirectDrawImpl* owner, const SurfaceDesc* desc,
                              DrawSurface** out);
// Makes a primary (or its back buffer) lost; a windowed primary is given private memory so
// that nothing keeps pointing at the display's framebuffer.
void LosePrimary(SurfaceImpl* surface);
// The DirectDraw shape's answers to the display: a change of mode, or another owner taking
// the display, makes every primary surface lost (ddraw_screen.cpp).
extern const DisplaySurfacesDriver kDDrawDisplaySurfaces;
// A primary's Restore (the rules of the screen side).
DDResult RestorePrimary(SurfaceImpl* surface);
// The rectangle a clipped Blt onto the surface may draw in (surface coordinates); false when
// the surface has no clipper.
bool ClipperArea(const SurfaceImpl* surface, Rect* out);

// Bytes of each guard band and the byte they are filled with.
inline constexpr size_t kGuardBytes = 32;
inline constexpr uint8_t kGuardByte = 0x5A;

// The 3D device is offered unless ZN_DIRECT3D=off.
bool Direct3DOfferedFromEnvironment();

struct DDrawGlobals {
    size_t videoBudget = kDefaultVideoMemoryBudget;
    size_t videoInUse = 0;
    uint32_t pitchPadding = 0;
    bool displayOverridden = false;
    PixelFormat displayOverride = {};
    int failCreates = 0;
    int failLocks = 0;
    int failGetDCs = 0;
    int failDirectDrawCreates = 0;
    int failDirectDrawInitializes = 0;
    // The 3D side's switches (set by d3d_test_controls.h): QueryDirect3D succeeds (unless
    // ZN_DIRECT3D=off; test programs start with it off), and CreateSurface of DDSCAPS_TEXTURE
    // fails with DDERR_OUTOFVIDEOMEMORY this many times.
    bool direct3DOffered = Direct3DOfferedFromEnvironment();
    int failTextureCreates = 0;
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
