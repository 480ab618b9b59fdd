// Types, flags and result codes of the platform's surface layer (ddraw.h). The layer is shaped
// like the DirectDraw 7 interfaces the library is written against: the caps, flag and format
// values below are the numbers the library code passes and tests, so it reads as written.
//
// Surfaces in memory (off-screen plain surfaces in system or video memory, textures, 16-bit Z
// buffers, locks, colour fills, stretching and colour-keyed copies, colour keys, device
// contexts, lost surfaces) and the screen side: cooperative levels, display modes, the
// primary surface and its flip chain, clippers, 8-bit palettes, the driver's capabilities and
// the simulated raster (scan line and vertical blank).
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
inline constexpr DDResult DDERR_EXCLUSIVEMODEALREADYSET = -19;  // another owner is exclusive
inline constexpr DDResult DDERR_HWNDALREADYSET = -20;   // the level is already set for a window
inline constexpr DDResult DDERR_HWNDSUBCLASSED = -21;
inline constexpr DDResult DDERR_NOEXCLUSIVEMODE = -22;  // the call needs DDSCL_EXCLUSIVE
inline constexpr DDResult DDERR_INVALIDMODE = -23;      // a display mode the display refuses
inline constexpr DDResult DDERR_NOTFLIPPABLE = -24;     // not the front of a flip chain
inline constexpr DDResult DDERR_NOHWND = -25;           // a clipper without a window
inline constexpr DDResult DDERR_NOPALETTEATTACHED = -26;
inline constexpr DDResult DDERR_NOCLIPPERATTACHED = -27;
inline constexpr DDResult DDERR_WRONGMODE = -28;        // a primary made for another mode
inline constexpr DDResult DDERR_PRIMARYSURFACEALREADYEXISTS = -29;
inline constexpr DDResult DDERR_NOCOOPERATIVELEVELSET = -30;
inline constexpr DDResult DDERR_NOTINITIALIZED = -31;   // an object not yet Initialize'd
inline constexpr DDResult DDERR_ALREADYINITIALIZED = -32;
inline constexpr DDResult DDERR_VERTICALBLANKINPROGRESS = -33;  // GetScanLine in the blank
inline constexpr DDResult DDERR_NOTPALETTIZED = -34;    // a palette on a surface of > 8 bits
inline constexpr DDResult DDERR_WASSTILLDRAWING = -35;

inline constexpr bool DDSucceeded(DDResult result) { return result >= 0; }

// ---- surface capabilities (SurfaceCaps::caps) -------------------------------------------------
inline constexpr uint32_t DDSCAPS_BACKBUFFER = 0x4;      // the back buffer of a flip chain
inline constexpr uint32_t DDSCAPS_COMPLEX = 0x8;         // with DDSCAPS_FLIP: a flip chain
inline constexpr uint32_t DDSCAPS_FLIP = 0x10;
inline constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x20;    // the front of a flip chain
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr uint32_t DDSCAPS_OVERLAY = 0x80;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200; // the display itself
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
inline constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x20;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
inline constexpr uint32_t DDSD_CKSRCBLT = 0x10000;
inline constexpr uint32_t DDSD_REFRESHRATE = 0x40000;
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

// ---- Flip flags ----------------------------------------------------------------------------
// DDFLIP_WAIT: wait while the previous flip is still pending instead of failing with
// DDERR_WASSTILLDRAWING. DDFLIP_NOVSYNC: show the new front at once, not at the next vertical
// blank.
inline constexpr uint32_t DDFLIP_WAIT = 0x1;
inline constexpr uint32_t DDFLIP_NOVSYNC = 0x8;

// ---- SetCooperativeLevel flags -----------------------------------------------------------
inline constexpr uint32_t DDSCL_FULLSCREEN = 0x1;
inline constexpr uint32_t DDSCL_ALLOWREBOOT = 0x2;
inline constexpr uint32_t DDSCL_NOWINDOWCHANGES = 0x4;
inline constexpr uint32_t DDSCL_NORMAL = 0x8;
inline constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;
inline constexpr uint32_t DDSCL_MULTITHREADED = 0x400;

// ---- WaitForVerticalBlank flags ------------------------------------------------------------
inline constexpr uint32_t DDWAITVB_BLOCKBEGIN = 0x1;  // returns when a vertical blank begins
inline constexpr uint32_t DDWAITVB_BLOCKEND = 0x4;    // returns when a vertical blank ends

// ---- palettes (CreatePalette flags, PaletteEntry::flags) -------------------------------------
inline constexpr uint32_t DDPCAPS_8BIT = 0x4;
inline constexpr uint32_t DDPCAPS_ALLOW256 = 0x40;  // entries 0 and 255 may be set as well

// ---- DDCaps::caps bits -------------------------------------------------------------------
inline constexpr uint32_t DDCAPS_ALIGNBOUNDARYDEST = 0x2;
inline constexpr uint32_t DDCAPS_ALIGNSIZEDEST = 0x4;
inline constexpr uint32_t DDCAPS_ALIGNBOUNDARYSRC = 0x8;
inline constexpr uint32_t DDCAPS_ALIGNSIZESRC = 0x10;
inline constexpr uint32_t DDCAPS_BLT = 0x40;
inline constexpr uint32_t DDCAPS_BLTCOLORFILL = 0x4000000;
inline constexpr uint32_t DDCAPS_BLTSTRETCH = 0x200;
inline constexpr uint32_t DDCAPS_COLORKEY = 0x400000;
inline constexpr uint32_t DDCAPS_PALETTE = 0x8000;
inline constexpr uint32_t DDCAPS_ZBLTS = 0x10000000;

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
    uint32_t backBufferCount; // DDSD_BACKBUFFERCOUNT: back buffers of a flip chain (1)
    uint32_t refreshRate;    // DDSD_REFRESHRATE: GetDisplayMode's refresh rate in Hz
};

// Blt's parameters: the colour written by DDBLT_COLORFILL (a raw pixel value) and the depth
// written by DDBLT_DEPTHFILL.
struct BltFx {
    uint32_t fillColor;
    uint32_t fillDepth;
};

// One palette entry: the colour of an index of an 8-bit surface.
struct PaletteEntry {
    uint8_t red, green, blue, flags;
};
static_assert(sizeof(PaletteEntry) == 4);

// The driver's capabilities (GetCaps): 380 bytes, 95 32-bit words, size first. The layer fills
// the named fields; the rest stay 0.
struct DDCaps {
    uint32_t size;                 // 380
    uint32_t caps;                 // DDCAPS_* bits
    uint32_t caps2;
    uint32_t colorKeyCaps;
    uint32_t fxCaps;
    uint32_t fxAlphaCaps;
    uint32_t paletteCaps;          // DDPCAPS_8BIT
    uint32_t stereoVisionCaps;
    uint32_t alphaBltConstBitDepths;
    uint32_t alphaBltPixelBitDepths;
    uint32_t alphaBltSurfaceBitDepths;
    uint32_t alphaOverlayConstBitDepths;
    uint32_t alphaOverlayPixelBitDepths;
    uint32_t alphaOverlaySurfaceBitDepths;
    uint32_t zBufferBitDepths;
    uint32_t vidMemTotal;          // bytes of video memory (the budget)
    uint32_t vidMemFree;
    uint32_t maxVisibleOverlays;   // 0: no overlays
    uint32_t currVisibleOverlays;
    uint32_t numFourCCCodes;
    uint32_t alignBoundarySrc;     // with DDCAPS_ALIGNBOUNDARYSRC
    uint32_t alignSizeSrc;         // with DDCAPS_ALIGNSIZESRC
    uint32_t alignBoundaryDest;    // with DDCAPS_ALIGNBOUNDARYDEST
    uint32_t alignSizeDest;        // with DDCAPS_ALIGNSIZEDEST
    uint32_t alignStrideAlign;
    uint32_t rops[8];
    uint32_t oldSurfaceCaps;
    uint32_t minOverlayStretch;    // 1000 = 1.0
    uint32_t maxOverlayStretch;
    uint32_t reserved[59];
};
static_assert(sizeof(DDCaps) == 380);

// What names the display adapter (GetDeviceIdentifier).
struct DeviceIdentifier {
    char driver[512];
    char description[512];
    uint32_t driverVersionHigh;  // four 16-bit parts, high part first
    uint32_t driverVersionLow;
    uint32_t vendorId, deviceId, subSysId, revision;
};

}  // namespace plat
