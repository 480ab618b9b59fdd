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
// DDERR_INVALIDRECT (there is no clipper). A surface has at most one lock at a time; while it
// is locked, or its DC is held, Lock, GetDC, Blt and BltFast on it fail with
// DDERR_SURFACEBUSY.
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
    virtual DDResult CreateSurface(const SurfaceDesc* desc, DrawSurface** out) = 0;
    // The display's size and pixel format (the desktop's until display modes exist).
    virtual DDResult GetDisplayMode(SurfaceDesc* out) = 0;
    // The video-memory budget and what is left of it, in bytes.
    virtual DDResult GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total,
                                        uint32_t* free) = 0;

protected:
    virtual ~DirectDraw() = default;
};

// A new DirectDraw object (one reference).
DDResult CreateDirectDraw(DirectDraw** out);

}  // namespace plat
