// Types, constants and result codes of the platform's 3D device (d3d.h). The layer is shaped
// like the Direct3D 7 interfaces the library is written against: render states, texture stage
// states, blend factors, comparison functions, primitive types and vertex-format bits carry the
// numbers the library passes, so its code reads as written.
#pragma once
#include <cstdint>

#include "platform/ddraw/ddraw_types.h"

namespace plat {

// ---- results: D3D_OK, the DirectDraw codes (ddraw_types.h) or one of these -----------------
inline constexpr DDResult D3D_OK = 0;
inline constexpr DDResult D3DERR_SCENE_IN_SCENE = -100;      // BeginScene inside a scene
inline constexpr DDResult D3DERR_SCENE_NOT_IN_SCENE = -101;  // EndScene / draw outside one
inline constexpr DDResult D3DERR_INVALIDPRIMITIVETYPE = -102;
inline constexpr DDResult D3DERR_INVALIDVERTEXTYPE = -103;   // a vertex format not drawn here
inline constexpr DDResult D3DERR_INVALIDVERTEXCOUNT = -104;  // not whole triangles
inline constexpr DDResult D3DERR_ZBUFFER_NOTPRESENT = -105;  // Z clear without a Z buffer
inline constexpr DDResult D3DERR_INVALID_DEVICE = -106;      // CreateDevice of an unknown id
inline constexpr DDResult D3DERR_INVALIDSTATE = -107;        // a state type not known
inline constexpr DDResult D3DERR_TEXTURE_BADSIZE = -108;     // a texture format not drawn
inline constexpr DDResult D3DERR_VIEWPORTHASNODEVICE = -109; // viewport outside the target
inline constexpr DDResult E_NOINTERFACE = -110;              // no such interface offered

// ---- device identifiers ---------------------------------------------------------------------
// Identifies a kind of device in EnumDevices and CreateDevice. The values are the layer's own.
struct DeviceGuid {
    uint32_t data1;
    uint16_t data2, data3;
    uint8_t data4[8];
};
inline constexpr bool operator==(const DeviceGuid& a, const DeviceGuid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.data4[i] != b.data4[i]) return false;
    }
    return true;
}
// The hardware-shaped device the layer offers (rasterises in software into the surfaces).
inline constexpr DeviceGuid IID_IDirect3DHALDevice = {0x7A6E0001, 0x0D3D, 0x0007,
                                                      {'z', 'n', 'h', 'a', 'l', 0, 0, 1}};
// The transform-and-lighting device: named so that callers can ask for it; never offered.
inline constexpr DeviceGuid IID_IDirect3DTnLHalDevice = {0x7A6E0002, 0x0D3D, 0x0007,
                                                         {'z', 'n', 't', 'n', 'l', 0, 0, 1}};

// ---- bit depths (DeviceDesc::deviceRenderBitDepth, deviceZBufferBitDepth) ---------------------
inline constexpr uint32_t DDBD_8 = 0x800;
inline constexpr uint32_t DDBD_16 = 0x400;
inline constexpr uint32_t DDBD_24 = 0x200;
inline constexpr uint32_t DDBD_32 = 0x100;

// ---- texture capabilities (PrimCaps::textureCaps) ---------------------------------------------
inline constexpr uint32_t D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
inline constexpr uint32_t D3DPTEXTURECAPS_POW2 = 0x2;
inline constexpr uint32_t D3DPTEXTURECAPS_ALPHA = 0x4;
inline constexpr uint32_t D3DPTEXTURECAPS_TRANSPARENCY = 0x8;
inline constexpr uint32_t D3DPTEXTURECAPS_SQUAREONLY = 0x20;

// ---- render states (SetRenderState) ------------------------------------------------------------
using RenderStateType = uint32_t;
inline constexpr RenderStateType D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4;
inline constexpr RenderStateType D3DRENDERSTATE_ZENABLE = 7;
inline constexpr RenderStateType D3DRENDERSTATE_FILLMODE = 8;
inline constexpr RenderStateType D3DRENDERSTATE_SHADEMODE = 9;
inline constexpr RenderStateType D3DRENDERSTATE_ZWRITEENABLE = 14;
inline constexpr RenderStateType D3DRENDERSTATE_ALPHATESTENABLE = 15;
inline constexpr RenderStateType D3DRENDERSTATE_SRCBLEND = 19;
inline constexpr RenderStateType D3DRENDERSTATE_DESTBLEND = 20;
inline constexpr RenderStateType D3DRENDERSTATE_CULLMODE = 22;
inline constexpr RenderStateType D3DRENDERSTATE_ZFUNC = 23;
inline constexpr RenderStateType D3DRENDERSTATE_ALPHAREF = 24;
inline constexpr RenderStateType D3DRENDERSTATE_ALPHAFUNC = 25;
inline constexpr RenderStateType D3DRENDERSTATE_DITHERENABLE = 26;
inline constexpr RenderStateType D3DRENDERSTATE_ALPHABLENDENABLE = 27;
inline constexpr RenderStateType D3DRENDERSTATE_FOGENABLE = 28;
inline constexpr RenderStateType D3DRENDERSTATE_SPECULARENABLE = 29;
inline constexpr RenderStateType D3DRENDERSTATE_COLORKEYENABLE = 41;
inline constexpr RenderStateType D3DRENDERSTATE_TEXTUREFACTOR = 60;
inline constexpr RenderStateType D3DRENDERSTATE_LIGHTING = 137;
inline constexpr RenderStateType D3DRENDERSTATE_COLORKEYBLENDENABLE = 144;
// Render states are kept for numbers below this.
inline constexpr RenderStateType kRenderStateCount = 256;

// ZENABLE values.
inline constexpr uint32_t D3DZB_FALSE = 0;
inline constexpr uint32_t D3DZB_TRUE = 1;
// SHADEMODE values.
inline constexpr uint32_t D3DSHADE_FLAT = 1;
inline constexpr uint32_t D3DSHADE_GOURAUD = 2;
// CULLMODE values (winding as seen on the target, y growing downward).
inline constexpr uint32_t D3DCULL_NONE = 1;
inline constexpr uint32_t D3DCULL_CW = 2;
inline constexpr uint32_t D3DCULL_CCW = 3;
// ZFUNC and ALPHAFUNC values.
inline constexpr uint32_t D3DCMP_NEVER = 1;
inline constexpr uint32_t D3DCMP_LESS = 2;
inline constexpr uint32_t D3DCMP_EQUAL = 3;
inline constexpr uint32_t D3DCMP_LESSEQUAL = 4;
inline constexpr uint32_t D3DCMP_GREATER = 5;
inline constexpr uint32_t D3DCMP_NOTEQUAL = 6;
inline constexpr uint32_t D3DCMP_GREATEREQUAL = 7;
inline constexpr uint32_t D3DCMP_ALWAYS = 8;
// SRCBLEND and DESTBLEND values.
inline constexpr uint32_t D3DBLEND_ZERO = 1;
inline constexpr uint32_t D3DBLEND_ONE = 2;
inline constexpr uint32_t D3DBLEND_SRCCOLOR = 3;
inline constexpr uint32_t D3DBLEND_INVSRCCOLOR = 4;
inline constexpr uint32_t D3DBLEND_SRCALPHA = 5;
inline constexpr uint32_t D3DBLEND_INVSRCALPHA = 6;
inline constexpr uint32_t D3DBLEND_DESTALPHA = 7;
inline constexpr uint32_t D3DBLEND_INVDESTALPHA = 8;
inline constexpr uint32_t D3DBLEND_DESTCOLOR = 9;
inline constexpr uint32_t D3DBLEND_INVDESTCOLOR = 10;

// ---- texture stage states (SetTextureStageState) ------------------------------------------------
using TextureStageStateType = uint32_t;
inline constexpr TextureStageStateType D3DTSS_COLOROP = 1;
inline constexpr TextureStageStateType D3DTSS_COLORARG1 = 2;
inline constexpr TextureStageStateType D3DTSS_COLORARG2 = 3;
inline constexpr TextureStageStateType D3DTSS_ALPHAOP = 4;
inline constexpr TextureStageStateType D3DTSS_ALPHAARG1 = 5;
inline constexpr TextureStageStateType D3DTSS_ALPHAARG2 = 6;
inline constexpr TextureStageStateType D3DTSS_TEXCOORDINDEX = 11;
inline constexpr TextureStageStateType D3DTSS_ADDRESS = 12;  // sets ADDRESSU and ADDRESSV
inline constexpr TextureStageStateType D3DTSS_ADDRESSU = 13;
inline constexpr TextureStageStateType D3DTSS_ADDRESSV = 14;
inline constexpr TextureStageStateType D3DTSS_MAGFILTER = 16;
inline constexpr TextureStageStateType D3DTSS_MINFILTER = 17;
inline constexpr TextureStageStateType D3DTSS_MIPFILTER = 18;
// Stage states are kept for numbers below this.
inline constexpr TextureStageStateType kTextureStageStateCount = 32;
// Texture stages of a device.
inline constexpr uint32_t kTextureStageCount = 8;

// COLOROP and ALPHAOP values.
inline constexpr uint32_t D3DTOP_DISABLE = 1;
inline constexpr uint32_t D3DTOP_SELECTARG1 = 2;
inline constexpr uint32_t D3DTOP_SELECTARG2 = 3;
inline constexpr uint32_t D3DTOP_MODULATE = 4;
inline constexpr uint32_t D3DTOP_MODULATE2X = 5;
inline constexpr uint32_t D3DTOP_MODULATE4X = 6;
inline constexpr uint32_t D3DTOP_ADD = 7;
inline constexpr uint32_t D3DTOP_SUBTRACT = 10;
// Stage arguments (COLORARG1, ...).
inline constexpr uint32_t D3DTA_SELECTMASK = 0xF;
inline constexpr uint32_t D3DTA_DIFFUSE = 0;
inline constexpr uint32_t D3DTA_CURRENT = 1;
inline constexpr uint32_t D3DTA_TEXTURE = 2;
inline constexpr uint32_t D3DTA_TFACTOR = 3;
inline constexpr uint32_t D3DTA_SPECULAR = 4;
inline constexpr uint32_t D3DTA_COMPLEMENT = 0x10;
inline constexpr uint32_t D3DTA_ALPHAREPLICATE = 0x20;
// ADDRESS values.
inline constexpr uint32_t D3DTADDRESS_WRAP = 1;
inline constexpr uint32_t D3DTADDRESS_MIRROR = 2;
inline constexpr uint32_t D3DTADDRESS_CLAMP = 3;
// MAGFILTER and MINFILTER values.
inline constexpr uint32_t D3DTFG_POINT = 1;
inline constexpr uint32_t D3DTFG_LINEAR = 2;
inline constexpr uint32_t D3DTFN_POINT = 1;
inline constexpr uint32_t D3DTFN_LINEAR = 2;

// ---- primitives and vertex formats ------------------------------------------------------------
using PrimitiveType = uint32_t;
inline constexpr PrimitiveType D3DPT_POINTLIST = 1;
inline constexpr PrimitiveType D3DPT_LINELIST = 2;
inline constexpr PrimitiveType D3DPT_LINESTRIP = 3;
inline constexpr PrimitiveType D3DPT_TRIANGLELIST = 4;
inline constexpr PrimitiveType D3DPT_TRIANGLESTRIP = 5;
inline constexpr PrimitiveType D3DPT_TRIANGLEFAN = 6;

// Flexible vertex format bits; the fields follow in this order, 32 bits each.
inline constexpr uint32_t D3DFVF_XYZ = 0x2;
inline constexpr uint32_t D3DFVF_XYZRHW = 0x4;      // transformed and lit: x, y, z, rhw
inline constexpr uint32_t D3DFVF_DIFFUSE = 0x40;    // A8R8G8B8
inline constexpr uint32_t D3DFVF_SPECULAR = 0x80;   // A8R8G8B8
inline constexpr uint32_t D3DFVF_TEXCOUNT_MASK = 0xF00;
inline constexpr uint32_t D3DFVF_TEXCOUNT_SHIFT = 8;
inline constexpr uint32_t D3DFVF_TEX1 = 0x100;      // one (u, v) set
inline constexpr uint32_t D3DFVF_TEX2 = 0x200;      // two sets

// ---- Clear flags -------------------------------------------------------------------------------
inline constexpr uint32_t D3DCLEAR_TARGET = 0x1;
inline constexpr uint32_t D3DCLEAR_ZBUFFER = 0x2;

// ---- transforms --------------------------------------------------------------------------------
using TransformStateType = uint32_t;
inline constexpr TransformStateType D3DTRANSFORMSTATE_WORLD = 1;
inline constexpr TransformStateType D3DTRANSFORMSTATE_VIEW = 2;
inline constexpr TransformStateType D3DTRANSFORMSTATE_PROJECTION = 3;

// ---- records ---------------------------------------------------------------------------------
// A 4 × 4 single-precision matrix, row by row.
struct Matrix {
    float m[4][4];
};

// The area of the target that draws and clears reach, and the depth range.
struct Viewport {
    uint32_t x, y, width, height;
    float minZ, maxZ;
};

// What a device can do for one kind of primitive.
struct PrimCaps {
    uint32_t size;
    uint32_t miscCaps, rasterCaps, zCmpCaps, srcBlendCaps, destBlendCaps, alphaCmpCaps;
    uint32_t shadeCaps, textureCaps, textureFilterCaps, textureBlendCaps, textureAddressCaps;
    uint32_t stippleWidth, stippleHeight;
};

// A device's description (EnumDevices, GetCaps).
struct DeviceDesc {
    uint32_t devCaps;
    PrimCaps lineCaps;
    PrimCaps triCaps;
    uint32_t deviceRenderBitDepth;   // DDBD_* of the targets it draws into
    uint32_t deviceZBufferBitDepth;  // DDBD_* of the Z buffers it reads
    uint32_t minTextureWidth, minTextureHeight;
    uint32_t maxTextureWidth, maxTextureHeight;
    uint32_t maxTextureRepeat, maxTextureAspectRatio, maxAnisotropy;
    uint32_t maxTextureBlendStages;
    uint32_t maxSimultaneousTextures;
    DeviceGuid deviceGuid;
};

}  // namespace plat
