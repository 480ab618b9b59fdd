// Types, flags and result codes of the platform's surface layer (ddraw.h). The layer is shaped
// like the DirectDraw 7 interfaces the library is written against: the caps, flag and format
// values below are the numbers the library code passes and tests, so it reads as written.
//
// Only what surfaces in memory need is here: off-screen plain surfaces in system or video
// memory, textures, 16-bit Z buffers, locks, colour fills, stretching and colour-keyed copies,
// colour keys, device contexts and lost surfaces. Display modes, the primary surface, flips,
// clippers, palettes and the vertical blank are not part of the layer yet.
#pragma once
#include <cstdint>

namespace plat {

// ---- results --------------------------------------------------------------------------------
// DD_OK or a negative failure code.
using DDResult = int32_t;

inline constexpr DDResult DD_OK = 0;
inline constexpr DDResult DDERR_GENERIC = -1;
inline constexpr DDResult DDERR_INVALIDPARAMS = -2;
inline constexpr DDResult DDERR_INVALIDRECT = -3;        // a rectangle outside the surface
inline constexpr DDResult DDERR_OUTOFMEMORY = -4;
inline constexpr DDResult DDERR_OUTOFVIDEOMEMORY = -5;   // the video-memory budget is spent
inline constexpr DDResult DDERR_INVALIDPIXELFORMAT = -6;
inline constexpr DDResult DDERR_INVALIDCAPS = -7;
inline constexpr DDResult DDERR_SURFACELOST = -8;
inline constexpr DDResult DDERR_SURFACEBUSY = -9;        // locked, or its DC is held
inline constexpr DDResult DDERR_NOTLOCKED = -10;
inline constexpr DDResult DDERR_NOCOLORKEY = -11;
inline constexpr DDResult DDERR_SURFACEALREADYATTACHED = -12;
inline constexpr DDResult DDERR_SURFACENOTATTACHED = -13;
inline constexpr DDResult DDERR_CANNOTATTACHSURFACE = -14;
inline constexpr DDResult DDERR_DCALREADYCREATED = -15;
inline constexpr DDResult DDERR_NODC = -16;              // ReleaseDC of a DC not handed out
inline constexpr DDResult DDERR_UNSUPPORTED = -17;
inline constexpr DDResult DDERR_NOTFOUND = -18;

inline constexpr bool DDSucceeded(DDResult result) { return result >= 0; }

// ---- surface capabilities (SurfaceCaps::caps) -------------------------------------------------
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr uint32_t DDSCAPS_TEXTURE = 0x1000;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x2000;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;
inline constexpr uint32_t DDSCAPS_ZBUFFER = 0x20000;
// SurfaceCaps::caps2: a texture whose memory the layer manages (never lost).
inline constexpr uint32_t DDSCAPS2_TEXTUREMANAGE = 0x10;

// ---- surface description fields present (SurfaceDesc::flags) ----------------------------------
inline constexpr uint32_t DDSD_CAPS = 0x1;
inline constexpr uint32_t DDSD_HEIGHT = 0x2;
inline constexpr uint32_t DDSD_WIDTH = 0x4;
inline constexpr uint32_t DDSD_PITCH = 0x8;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
inline constexpr uint32_t DDSD_CKSRCBLT = 0x10000;
inline constexpr uint32_t DDSD_TEXTURESTAGE = 0x100000;

// ---- pixel format flags (PixelFormat::flags) ---------------------------------------------------
inline constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
inline constexpr uint32_t DDPF_FOURCC = 0x4;
inline constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x20;
inline constexpr uint32_t DDPF_RGB = 0x40;
inline constexpr uint32_t DDPF_ZBUFFER = 0x400;

// ---- Lock flags ----------------------------------------------------------------------------------
inline constexpr uint32_t DDLOCK_WAIT = 0x1;
inline constexpr uint32_t DDLOCK_READONLY = 0x10;
inline constexpr uint32_t DDLOCK_WRITEONLY = 0x20;

// ---- Blt flags -----------------------------------------------------------------------------------
inline constexpr uint32_t DDBLT_COLORFILL = 0x400;
inline constexpr uint32_t DDBLT_KEYSRC = 0x8000;
inline constexpr uint32_t DDBLT_WAIT = 0x1000000;
inline constexpr uint32_t DDBLT_DEPTHFILL = 0x2000000;

// ---- BltFast flags ---------------------------------------------------------------------------
inline constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
inline constexpr uint32_t DDBLTFAST_WAIT = 0x10;

// ---- SetColorKey flags ---------------------------------------------------------------------
inline constexpr uint32_t DDCKEY_SRCBLT = 0x8;

// ---- records ---------------------------------------------------------------------------------
// A pixel layout (32 bytes). RGB formats: bitCount bits per pixel and the four channel masks.
// Z-buffer formats (DDPF_ZBUFFER): bitCount is the depth in bits and greenMask the depth mask.
struct PixelFormat {
    uint32_t size;
    uint32_t flags;
    uint32_t fourCC;
    uint32_t bitCount;
    uint32_t redMask, greenMask, blueMask, alphaMask;
};
static_assert(sizeof(PixelFormat) == 32);

struct SurfaceCaps {
    uint32_t caps;
    uint32_t caps2;
};

// A colour-key range: pixels with low <= value <= high are transparent.
struct ColorKey {
    uint32_t low;
    uint32_t high;
};

// What a surface is, for CreateSurface (fields named by flags) and as the answer of
// GetSurfaceDesc, GetDisplayMode and Lock (all fields; Lock also sets surface and pitch).
struct SurfaceDesc {
    uint32_t flags;
    uint32_t width, height;
    int32_t pitch;           // bytes from one row to the next
    void* surface;           // Lock: the locked rectangle's first pixel
    ColorKey srcBltKey;      // DDSD_CKSRCBLT
    PixelFormat pixelFormat; // DDSD_PIXELFORMAT; without it a plain surface takes the display's
    SurfaceCaps caps;
    uint32_t textureStage;   // DDSD_TEXTURESTAGE
};

// Blt's parameters: the colour written by DDBLT_COLORFILL (a raw pixel value) and the depth
// written by DDBLT_DEPTHFILL.
struct BltFx {
    uint32_t fillColor;
    uint32_t fillDepth;
};

}  // namespace plat
