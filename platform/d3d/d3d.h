// The platform's 3D device, shaped like Direct3D 7: a Direct3D object obtained from the
// DirectDraw object (DirectDraw::QueryDirect3D), which enumerates its one device and that
// device's Z-buffer formats and makes devices on DirectDraw surfaces; a device rasterises
// transformed-and-lit triangles in software straight into the pixels of its render target
// (platform/ddraw).
//
// What a device draws:
// - Targets: surfaces with DDSCAPS_3DDEVICE in 16-bit 5-6-5 or 32-bit X8R8G8B8. Textures:
//   surfaces with DDSCAPS_TEXTURE in one of the formats EnumTextureFormats offers (5-6-5,
//   X1-5-5-5, A1-5-5-5, A4-4-4-4, X8-8-8-8, A8-8-8-8); any size.
// - Vertices: D3DFVF_XYZRHW, optionally D3DFVF_DIFFUSE (else opaque white), D3DFVF_SPECULAR
//   (else 0; read by the stage argument D3DTA_SPECULAR) and up to 8 (u, v) sets; triangle
//   lists, strips and fans, drawn from the vertices in order or through 16-bit indices. x and y
//   are target pixels; z (0..1) feeds the Z buffer; rhw is not used (no perspective correction:
//   every attribute is interpolated affinely, as an integer plane in 1/2^24 units).
// - Coverage: the pixel (px, py) is sampled at its centre, which lies at the integer point
//   (px, py) itself, as on the hardware the library was written for: a quad whose corners lie
//   on the half-pixel grid (x - 0.5, y - 0.5) covers whole pixels and samples each texel at its
//   middle. Positions are snapped to 1/256 pixel. A sample exactly on an edge belongs to the
//   triangle when the edge is a top edge (horizontal, interior below) or a left edge (interior
//   to its right), so triangles sharing an edge cover each pixel once. Triangles are clipped to
//   the viewport.
// - Shading: SHADEMODE flat takes the whole triangle's colour from its first vertex (list: the
//   triangle's first; strip: vertex i of triangle i; fan: vertex i + 1 of triangle i); Gouraud
//   interpolates the four channels, rounded to nearest.
// - Texture stages 0..3: COLOROP / ALPHAOP DISABLE, SELECTARG1, SELECTARG2, MODULATE,
//   MODULATE2X, MODULATE4X, ADD, SUBTRACT with the arguments DIFFUSE, CURRENT, TEXTURE, TFACTOR
//   (COMPLEMENT and ALPHAREPLICATE honoured); the cascade ends at the first stage whose COLOROP
//   is DISABLE; a stage without a texture whose operations read TEXTURE ends it too. Products
//   are (a × b + 127) / 255. Sampling: point (the texel whose square holds the sample:
//   floor(u × width)), or bilinear when MAGFILTER is D3DTFG_LINEAR (MINFILTER is not read;
//   no mip maps): the four texels around (u × width - 0.5, v × height - 0.5) with 8-bit
//   weights, rounded. ADDRESSU / ADDRESSV wrap, mirror or clamp (default wrap, as the device
//   starts; the library sets clamp), also for the texels a bilinear sample reaches.
// - COLORKEYENABLE: texels of a stage's texture whose raw value lies in its source colour key
//   range (DDCKEY_SRCBLT) draw nothing; under bilinear filtering the key is tested on the
//   texel point sampling would take.
// - ALPHATESTENABLE with ALPHAREF (0..255) and ALPHAFUNC.
// - ZENABLE with the 16-bit Z buffer attached to the target: depth = z × 65535 rounded,
//   compared by ZFUNC with the stored value; ZWRITEENABLE writes it. No Z buffer: no test.
// - ALPHABLENDENABLE with SRCBLEND / DESTBLEND ZERO, ONE, SRCCOLOR, INVSRCCOLOR, SRCALPHA,
//   INVSRCALPHA, DESTALPHA, INVDESTALPHA (the targets have no alpha: 255), DESTCOLOR,
//   INVDESTCOLOR, per channel in integers: min(255, (src × fs + dst × fd + 127) / 255). A 5-6-5
//   target's channels are widened by repeating their top bits and narrowed by truncation.
// Not drawn: points and lines (D3DERR_INVALIDPRIMITIVETYPE), untransformed vertices
// (D3DERR_INVALIDVERTEXTYPE), mip maps, perspective correction, fog, the specular sum
// (SPECULARENABLE), dithering, stencil.
//
// Transforms are stored and handed back only (transformed vertices do not use them).
//
// Objects are reference-counted: the Direct3D object holds one reference on its DirectDraw
// object; a device holds one on its render target and one on each texture set. Not
// thread-safe. A call log and failure switches: platform/testing/d3d_test_controls.h.
#pragma once
#include <cstdint>

#include "platform/d3d/d3d_types.h"
#include "platform/ddraw/ddraw.h"

namespace plat {

class Direct3DDevice;

// EnumDevices: the device's description text, name, description and the caller's context;
// return 1 to go on, 0 to stop.
using EnumDevicesCallback = int32_t (*)(const char* description, const char* name,
                                        const DeviceDesc* desc, void* context);
// EnumZBufferFormats and EnumTextureFormats: one format; return 1 to go on, 0 to stop.
using EnumPixelFormatsCallback = int32_t (*)(PixelFormat* format, void* context);

class Direct3DDevice {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    // The device's description (as EnumDevices gives it).
    virtual DDResult GetCaps(DeviceDesc* out) = 0;
    // The texture formats it draws from: 5-6-5, X1-5-5-5, A1-5-5-5, A4-4-4-4, X8-8-8-8 and
    // A8-8-8-8, in this order, until the callback returns 0.
    virtual DDResult EnumTextureFormats(EnumPixelFormatsCallback callback, void* context) = 0;

    // D3DERR_SCENE_IN_SCENE inside a scene.
    virtual DDResult BeginScene() = 0;
    // D3DERR_SCENE_NOT_IN_SCENE outside one.
    virtual DDResult EndScene() = 0;

    // Any state number below kRenderStateCount is kept (D3DERR_INVALIDSTATE above); the ones
    // listed in the header comment change what is drawn.
    virtual DDResult SetRenderState(RenderStateType state, uint32_t value) = 0;
    virtual DDResult GetRenderState(RenderStateType state, uint32_t* out) = 0;
    // stage below kTextureStageCount, state below kTextureStageStateCount
    // (DDERR_INVALIDPARAMS). D3DTSS_ADDRESS sets ADDRESSU and ADDRESSV.
    virtual DDResult SetTextureStageState(uint32_t stage, TextureStageStateType state,
                                          uint32_t value) = 0;
    virtual DDResult GetTextureStageState(uint32_t stage, TextureStageStateType state,
                                          uint32_t* out) = 0;
    // A texture surface (DDSCAPS_TEXTURE, a format it offers: D3DERR_TEXTURE_BADSIZE
    // otherwise) or null; a reference is held while it is set.
    virtual DDResult SetTexture(uint32_t stage, DrawSurface* texture) = 0;
    // The texture set (a new reference) or null.
    virtual DDResult GetTexture(uint32_t stage, DrawSurface** out) = 0;

    // The viewport must lie inside the target (D3DERR_VIEWPORTHASNODEVICE) and not be empty
    // (DDERR_INVALIDPARAMS). A new device and a new target take the whole target, Z 0..1.
    virtual DDResult SetViewport(const Viewport* viewport) = 0;
    virtual DDResult GetViewport(Viewport* out) = 0;
    // Stored and handed back only. DDERR_INVALIDPARAMS for other types.
    virtual DDResult SetTransform(TransformStateType type, const Matrix* matrix) = 0;
    virtual DDResult GetTransform(TransformStateType type, Matrix* out) = 0;

    // A new target (DDSCAPS_3DDEVICE, 5-6-5 or X8R8G8B8); the viewport becomes the whole of it.
    // flags must be 0.
    virtual DDResult SetRenderTarget(DrawSurface* target, uint32_t flags) = 0;
    // The target (a new reference).
    virtual DDResult GetRenderTarget(DrawSurface** out) = 0;

    // Fills rects (count of them; count 0 or rects null: the whole viewport), each clipped to
    // the viewport: D3DCLEAR_TARGET with color (A8R8G8B8, converted to the target's format),
    // D3DCLEAR_ZBUFFER with z (0..1 × 65535, rounded) into the attached Z buffer
    // (D3DERR_ZBUFFER_NOTPRESENT without one). Allowed inside and outside a scene.
    virtual DDResult Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color,
                           float z, uint32_t stencil) = 0;

    // Draws count vertices (vertexFormat: D3DFVF_* bits) as primitiveType inside a scene
    // (D3DERR_SCENE_NOT_IN_SCENE otherwise). Lists need a multiple of 3, strips and fans at
    // least 3 (D3DERR_INVALIDVERTEXCOUNT). DDERR_SURFACEBUSY while the target, its Z buffer or
    // a texture used is locked; DDERR_SURFACELOST when one is lost. flags are ignored.
    virtual DDResult DrawPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                                   const void* vertices, uint32_t count, uint32_t flags) = 0;
    // Draws indexCount indices into vertices (vertexCount of them) as primitiveType, by the
    // rules of DrawPrimitive (the counts apply to the indices); an index at or past
    // vertexCount, or null vertices or indices: DDERR_INVALIDPARAMS, nothing drawn. Flat
    // shading takes the colour of the vertex the triangle's first index names; triangles with
    // a repeated index (as strips use to join pieces) draw nothing.
    virtual DDResult DrawIndexedPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                                          const void* vertices, uint32_t vertexCount,
                                          const uint16_t* indices, uint32_t indexCount,
                                          uint32_t flags) = 0;

    // Copies sourceRect of source (null: the whole source) to dest at destPoint (null: (0, 0)),
    // pixel for pixel. Both must be texture surfaces (DDSCAPS_TEXTURE; DDERR_INVALIDCAPS) of
    // the same pixel format, and the rectangle must be non-empty and lie inside both
    // (DDERR_INVALIDPARAMS); DDERR_SURFACEBUSY while either is locked, DDERR_SURFACELOST when
    // either is lost. dest may be source (overlapping rectangles copy as if through a
    // temporary). Colour keys are not copied. Allowed inside and outside a scene; flags are
    // ignored.
    virtual DDResult Load(DrawSurface* dest, const Point* destPoint, DrawSurface* source,
                          const Rect* sourceRect, uint32_t flags) = 0;

protected:
    virtual ~Direct3DDevice() = default;
};

class Direct3D {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    // Calls callback for the one device offered (IID_IDirect3DHALDevice: render depths
    // DDBD_16 | DDBD_32, Z depth DDBD_16, textures 1..2048 on a side unless a test control
    // says otherwise, D3DPTEXTURECAPS_POW2 reported, 4 blend stages).
    virtual DDResult EnumDevices(EnumDevicesCallback callback, void* context) = 0;
    // The Z-buffer formats of the device: one, 16 bits (DDPF_ZBUFFER, greenMask 0xFFFF).
    // D3DERR_INVALID_DEVICE for another id.
    virtual DDResult EnumZBufferFormats(const DeviceGuid& device,
                                        EnumPixelFormatsCallback callback, void* context) = 0;
    // A device drawing into target (one reference). D3DERR_INVALID_DEVICE for an id not
    // offered; DDERR_INVALIDCAPS for a surface without DDSCAPS_3DDEVICE;
    // DDERR_INVALIDPIXELFORMAT for a format not drawn; DDERR_OUTOFMEMORY when the failure
    // switch says so.
    virtual DDResult CreateDevice(const DeviceGuid& device, DrawSurface* target,
                                  Direct3DDevice** out) = 0;

protected:
    virtual ~Direct3D() = default;
};

}  // namespace plat
