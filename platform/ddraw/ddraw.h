// The platform's surface layer, shaped like DirectDraw 7: an object that makes surfaces, and
// surfaces that keep their pixels in memory of the process.
//
// Where a surface lives: an off-screen plain surface, a texture or a Z buffer asks for system
// memory (DDSCAPS_SYSTEMMEMORY), video memory (DDSCAPS_VIDEOMEMORY) or either (neither flag:
// video memory when the budget allows, else system memory). Video memory is a process-wide
// budget (ddraw_test_controls.h sets it); a request beyond it fails with
// DDERR_OUTOFVIDEOMEMORY, so a caller's retry in system memory is a real road. Video-memory
// surfaces can be lost (test controls); a lost surface refuses Lock, Blt, BltFast and GetDC
// with DDERR_SURFACELOST until Restore, which gives the memory back filled with a poison
// pattern, so the caller must reload its pixels. Managed textures (DDSCAPS2_TEXTUREMANAGE)
// live in system memory and are never lost.
//
// Rows are at least width × bytes per pixel long and rounded up to 8 bytes; tests can pad them
// further, so callers must use the pitch they are given. Guard bands before and after every
// pixel buffer are checked on Unlock, ReleaseDC and the final Release.
//
// Rectangles are plat::Rect with right and bottom exclusive. A rectangle handed to Lock, Blt
// or BltFast must lie inside its surface and not be empty, or the call fails with
// DDERR_INVALIDRECT; only Blt onto a surface with a clipper (SetClipper) takes a destination
// that reaches out of it, and draws the part inside the clipper's area. A surface has at most one lock at a time; while it
// is locked, or its DC is held, Lock, GetDC, Blt and BltFast on it fail with
// DDERR_SURFACEBUSY.
//
// The screen side. A DirectDraw object starts at the normal cooperative level: the display
// keeps the desktop's mode, and the primary surface (DDSCAPS_PRIMARYSURFACE, one per object)
// is the whole desktop, shared with every window; a clipper bound to a window and set on the
// primary keeps Blt inside that window's client area. At the exclusive full-screen level
// (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, one owner in the process) SetDisplayMode sets a mode
// (16 or 32 bits; 640 x 480, 800 x 600 and 1024 x 768 at least; 24 bits refused), and the
// primary is a flip chain (DDSCAPS_FLIP | DDSCAPS_COMPLEX, DDSD_BACKBUFFERCOUNT 1) whose back
// buffer GetAttachedSurface(DDSCAPS_BACKBUFFER) gives. What the primary holds is what the
// display shows (platform/display/display.h). A mode change, or another exclusive owner (a
// test control), makes the primary surfaces lost; Restore brings them back once the display
// is again in the mode they were made for (DDERR_WRONGMODE before that).
//
// The raster (GetScanLine, GetVerticalBlankStatus, WaitForVerticalBlank) is simulated on the
// platform clock: a frame lasts 1 / refresh rate, of which the first (height) lines are
// drawn and the rest (height / 12 lines, at least 1) are the vertical blank. Under the virtual
// clock it is therefore deterministic, and WaitForVerticalBlank sleeps on that clock.
//
// Objects are reference-counted: creation hands out one reference; a surface holds one on its
// DirectDraw object, and a surface holds one on the Z buffer attached to it. Not thread-safe:
// the library calls the layer under its own lock.
#pragma once
#include <cstdint>

#include "platform/ddraw/ddraw_types.h"
#include "platform/window/window.h"

namespace plat {

struct DeviceContext;

class DrawClipper;
class DrawPalette;
class Direct3D;

// Callback of EnumAttachedSurfaces: the attached surface (a new reference the callback owns),
// its description and the caller's context; return 1 to go on, 0 to stop.
using EnumSurfacesCallback = int32_t (*)(class DrawSurface* surface, SurfaceDesc* desc,
                                         void* context);

// A clip list bound to a window: Blt onto a surface that has the clipper lands only inside the
// window's client area (in desktop coordinates, as the primary is addressed).
class DrawClipper {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // Binds the clipper to a window (0 unbinds it). flags must be 0 (DDERR_INVALIDPARAMS).
    // DDERR_INVALIDPARAMS also for a window that does not exist.
    virtual DDResult SetHWnd(uint32_t flags, WindowHandle window) = 0;
    // The bound window (0 when none).
    virtual DDResult GetHWnd(WindowHandle* out) = 0;
    // The clip rectangle in desktop coordinates: the bound window's client area, clipped to
    // the display. DDERR_NOHWND without a window.
    virtual DDResult GetClipRect(Rect* out) = 0;

protected:
    virtual ~DrawClipper() = default;
};

// The 256 colours of an 8-bit surface.
class DrawPalette {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // Copies count entries starting at index start from entries. flags must be 0. 
    // DDERR_INVALIDPARAMS when start + count passes 256 or entries is null.
    virtual DDResult SetEntries(uint32_t flags, uint32_t start, uint32_t count,
                                const PaletteEntry* entries) = 0;
    // Copies count entries starting at start into out (same checks as SetEntries).
    virtual DDResult GetEntries(uint32_t flags, uint32_t start, uint32_t count,
                                PaletteEntry* out) = 0;
    // The DDPCAPS_* flags it was made with.
    virtual DDResult GetCaps(uint32_t* out) = 0;

protected:
    virtual ~DrawPalette() = default;
};

class DrawSurface {
public:
    virtual uint32_t AddRef() = 0;
    // The remaining references; at 0 the surface, its pixels and its attachments are released.
    virtual uint32_t Release() = 0;

    // Size, pitch, pixel format, caps (memory bits as placed) and source colour key.
    virtual DDResult GetSurfaceDesc(SurfaceDesc* out) = 0;
    // The caps asked for, with the memory bits replaced by where the surface lives:
    // DDSCAPS_VIDEOMEMORY or DDSCAPS_SYSTEMMEMORY.
    virtual DDResult GetCaps(SurfaceCaps* out) = 0;

    // Locks rect (null: the whole surface) and describes it in out: out->surface points at the
    // rectangle's first pixel, out->pitch is the surface's pitch. Flags: DDLOCK_WAIT,
    // DDLOCK_READONLY, DDLOCK_WRITEONLY.
    virtual DDResult Lock(const Rect* rect, SurfaceDesc* out, uint32_t flags) = 0;
    // Ends the lock; rect must cover the same area as the lock's (null: the whole surface).
    // DDERR_NOTLOCKED without a lock, DDERR_INVALIDRECT for another rectangle.
    virtual DDResult Unlock(const Rect* rect) = 0;

    // DDBLT_COLORFILL: fills destRect (null: whole) with fx->fillColor. DDBLT_DEPTHFILL (Z
    // buffers): fills with fx->fillDepth. Otherwise copies sourceRect (null: whole) of source
    // onto destRect, stretched by nearest neighbour; DDBLT_KEYSRC leaves out the source's
    // colour-key pixels. DDBLT_WAIT is accepted. Both surfaces must have the same pixel
    // format (DDERR_INVALIDPIXELFORMAT).
    virtual DDResult Blt(const Rect* destRect, DrawSurface* source, const Rect* sourceRect,
                         uint32_t flags, const BltFx* fx) = 0;
    // Copies sourceRect (null: whole) of source to (x, y) without stretching;
    // DDBLTFAST_SRCCOLORKEY leaves out the source's colour-key pixels (DDERR_NOCOLORKEY when
    // it has none). DDBLTFAST_WAIT is accepted.
    virtual DDResult BltFast(int32_t x, int32_t y, DrawSurface* source, const Rect* sourceRect,
                             uint32_t flags) = 0;

    // DDCKEY_SRCBLT: sets (key) or clears (null) the source colour key used by BltFast and Blt.
    virtual DDResult SetColorKey(uint32_t flags, const ColorKey* key) = 0;
    virtual DDResult GetColorKey(uint32_t flags, ColorKey* out) = 0;

    // A device context drawing into the surface's pixels (gdi.h); the surface counts as locked
    // until ReleaseDC. RGB surfaces only.
    virtual DDResult GetDC(DeviceContext** out) = 0;
    virtual DDResult ReleaseDC(DeviceContext* dc) = 0;

    // DD_OK, or DDERR_SURFACELOST.
    virtual DDResult IsLost() = 0;
    // Gives a lost surface its memory back, filled with the poison pattern; DD_OK also when the
    // surface was not lost.
    virtual DDResult Restore() = 0;

    // Attaches a Z buffer of the same size (one per surface; takes a reference on it).
    virtual DDResult AddAttachedSurface(DrawSurface* surface) = 0;
    // Detaches surface (null: every attachment) and drops the reference.
    virtual DDResult DeleteAttachedSurface(uint32_t flags, DrawSurface* surface) = 0;
    // The attached surface whose caps include caps->caps (a new reference), or DDERR_NOTFOUND.
    virtual DDResult GetAttachedSurface(const SurfaceCaps* caps, DrawSurface** out) = 0;

    // ---- the screen side ----
    // Calls callback for each attached surface (the back buffer of a flip chain, a Z buffer)
    // until it returns 0. Each call hands the callback a new reference.
    virtual DDResult EnumAttachedSurfaces(void* context, EnumSurfacesCallback callback) = 0;
    // On the front of a flip chain: the back buffer's pixels become the shown ones at once and
    // the previous front's pixels are now the back buffer's (target must be null or the back
    // buffer). Without DDFLIP_NOVSYNC the flip stays pending until the next vertical blank
    // begins: a second such Flip before then fails with DDERR_WASSTILLDRAWING, or with
    // DDFLIP_WAIT sleeps on the platform clock until then (never longer than a frame). A
    // DDFLIP_NOVSYNC flip never waits. DDERR_NOTFLIPPABLE on other surfaces,
    // DDERR_SURFACELOST when lost, DDERR_SURFACEBUSY when either buffer is locked.
    virtual DDResult Flip(DrawSurface* target, uint32_t flags) = 0;
    // Sets (a reference is taken) or removes (null) the clipper used by Blt onto this
    // surface. A clipped Blt onto the primary draws only inside the clipper's window's client
    // area; its stretch is still computed from the whole destination rectangle, which may then
    // lie partly outside the surface. DDERR_NOCLIPPERATTACHED when removing and none is set.
    virtual DDResult SetClipper(DrawClipper* clipper) = 0;
    // The clipper set (a new reference), DDERR_NOCLIPPERATTACHED when none.
    virtual DDResult GetClipper(DrawClipper** out) = 0;
    // Sets (a reference is taken) or removes (null) the palette of an 8-bit surface;
    // DDERR_NOTPALETTIZED for other surfaces. The primary's palette colours the display.
    virtual DDResult SetPalette(DrawPalette* palette) = 0;
    // The palette set (a new reference), DDERR_NOPALETTEATTACHED when none.
    virtual DDResult GetPalette(DrawPalette** out) = 0;

protected:
    virtual ~DrawSurface() = default;
};

class DirectDraw {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    // Makes a surface from desc. Required: DDSD_CAPS with exactly one of
    // DDSCAPS_OFFSCREENPLAIN, DDSCAPS_TEXTURE and DDSCAPS_ZBUFFER; DDSD_WIDTH and DDSD_HEIGHT
    // (1..16384). Plain surfaces and textures take DDSD_PIXELFORMAT (RGB, 8, 16, 24 or 32 bits,
    // disjoint masks within the pixel) or the display's format; Z buffers need a 16-bit
    // DDPF_ZBUFFER format. DDSD_CKSRCBLT sets the source colour key. The new surface's pixels
    // are zero.
    //
    // The primary surface: DDSD_CAPS with DDSCAPS_PRIMARYSURFACE (and DDSCAPS_3DDEVICE if
    // wanted), no size or format (the display's; DDERR_INVALIDPARAMS otherwise), after a
    // cooperative level (DDERR_NOCOOPERATIVELEVELSET). Windowed: the whole desktop. With
    // DDSCAPS_FLIP | DDSCAPS_COMPLEX and DDSD_BACKBUFFERCOUNT 1, at the exclusive level only
    // (DDERR_NOEXCLUSIVEMODE): a flip chain of the mode's size. One per object
    // (DDERR_PRIMARYSURFACEALREADYEXISTS); DDERR_NOEXCLUSIVEMODE while another program holds
    // the display. Primary surfaces are no part of the video-memory budget.
    virtual DDResult CreateSurface(const SurfaceDesc* desc, DrawSurface** out) = 0;
    // The display's size and pixel format (the desktop's until display modes exist).
    virtual DDResult GetDisplayMode(SurfaceDesc* out) = 0;
    // The video-memory budget and what is left of it, in bytes.
    virtual DDResult GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total,
                                        uint32_t* free) = 0;

    // ---- the screen side ----
    // Finishes an object made by CoCreateDirectDraw (guid: the driver, null for the default
    // display). DDERR_ALREADYINITIALIZED the second time; DDERR_GENERIC when the fault switch
    // (display_test_controls.h) refuses it. Until it succeeds every other call but AddRef and
    // Release gives DDERR_NOTINITIALIZED.
    virtual DDResult Initialize(const void* guid) = 0;
    // DDSCL_NORMAL (a window on the desktop) or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN (the
    // display's owner), either with DDSCL_MULTITHREADED. window must exist for the exclusive
    // level (DDERR_INVALIDPARAMS). Exclusive: DDERR_EXCLUSIVEMODEALREADYSET when another
    // object (or the simulated other owner) holds the display; DDERR_HWNDALREADYSET when this
    // object is already exclusive for another window. Going back to normal ends ownership
    // (the display mode stays until RestoreDisplayMode). Other flag mixes:
    // DDERR_INVALIDPARAMS.
    virtual DDResult SetCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
    // Sets the display mode (exclusive level only: DDERR_NOEXCLUSIVEMODE). refreshRate 0
    // takes the display's default; a rate the display does not offer (display.h) gives
    // DDERR_INVALIDMODE, as do sizes and depths it does not offer (24 bits always). flags
    // must be 0. Primary surfaces become lost.
    virtual DDResult SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                    uint32_t refreshRate, uint32_t flags) = 0;
    // Puts the desktop's mode back when this object set a mode (DD_OK also when it did not).
    virtual DDResult RestoreDisplayMode() = 0;
    // The driver's (driverCaps) and the emulation layer's (helCaps) capabilities; either may
    // be null. Each record's size field must be 380 (DDERR_INVALIDPARAMS).
    virtual DDResult GetCaps(DDCaps* driverCaps, DDCaps* helCaps) = 0;
    // A clipper (flags must be 0); one reference.
    virtual DDResult CreateClipper(uint32_t flags, DrawClipper** out) = 0;
    // A palette of 256 entries from entries (DDPCAPS_8BIT required, DDERR_INVALIDPARAMS
    // otherwise); one reference.
    virtual DDResult CreatePalette(uint32_t flags, const PaletteEntry* entries,
                                   DrawPalette** out) = 0;
    // Makes the display show the GDI surface: in full screen the flip chain's original front
    // buffer is brought to the front (a pending flip is dropped); windowed nothing changes.
    virtual DDResult FlipToGDISurface() = 0;
    // The line the simulated raster is on (0 .. height - 1). During the vertical blank the
    // line (height ..) is still written but DDERR_VERTICALBLANKINPROGRESS is returned.
    virtual DDResult GetScanLine(uint32_t* out) = 0;
    // 1 in *out while the raster is in the vertical blank, else 0.
    virtual DDResult GetVerticalBlankStatus(int32_t* out) = 0;
    // DDWAITVB_BLOCKBEGIN: sleeps until the next vertical blank begins (at once when one is
    // beginning now); DDWAITVB_BLOCKEND: until the current or next one ends. event must be
    // null (DDERR_UNSUPPORTED). Never waits longer than one frame.
    virtual DDResult WaitForVerticalBlank(uint32_t flags, void* event) = 0;
    // The display's refresh rate in Hz.
    virtual DDResult GetMonitorFrequency(uint32_t* out) = 0;
    // The display adapter's name and version (flags ignored).
    virtual DDResult GetDeviceIdentifier(DeviceIdentifier* out, uint32_t flags) = 0;

    // ---- the 3D side ----
    // The Direct3D object of this DirectDraw object (platform/d3d/d3d.h; one reference), as a
    // query for its interface. Not offered yet: E_NOINTERFACE (d3d_types.h) with *out null,
    // unless a test control (d3d_test_controls.h) offers it.
    virtual DDResult QueryDirect3D(Direct3D** out) = 0;

protected:
    virtual ~DirectDraw() = default;
};

// A new DirectDraw object (one reference), already initialised for the default display.
DDResult CreateDirectDraw(DirectDraw** out);
// A new, uninitialised DirectDraw object (one reference), as the COM class factory hands it
// out: Initialize must follow. DDERR_GENERIC when the fault switch (display_test_controls.h)
// refuses the creation; *out is then null.
DDResult CoCreateDirectDraw(DirectDraw** out);

}  // namespace plat
