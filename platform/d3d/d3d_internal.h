// Internal to the 3D layer: the records behind Direct3D and Direct3DDevice, the layer's global
// state (call log, failure switches, texture side limits) and the rasteriser's entry points.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/d3d/d3d_call_log.h"
#include "platform/ddraw/ddraw_internal.h"

namespace plat {

inline constexpr uint32_t kDefaultMinTextureSide = 1;
inline constexpr uint32_t kDefaultMaxTextureSide = 2048;
// Stages the combiner runs (the device reports this many blend stages).
inline constexpr uint32_t kBlendStageCount = 4;

struct D3DGlobals {
    int failDeviceCreates = 0;
    bool logging = false;
    std::vector<D3DCall> calls;
    uint32_t minTextureSide = kDefaultMinTextureSide;
    uint32_t maxTextureSide = kDefaultMaxTextureSide;
    bool squareOnlyTextures = false;  // the description reports D3DPTEXTURECAPS_SQUAREONLY
    bool only16BitTextures = false;   // EnumTextureFormats gives the 16-bit formats only
    uint32_t liveDevices = 0;
    // Triangles whose state allows it are drawn by the fast span loops (off: every pixel
    // through the general path, for tests that compare the two).
    bool fastSpans = true;
    uint64_t fastTriangles = 0;  // triangles drawn by a fast span loop
    uint64_t joinedPairs = 0;    // triangle pairs drawn together (quads' halves)
    uint64_t rectanglePairs = 0;  // of those, axis-aligned rectangles drawn row by row
    uint64_t unscaledRectangles = 0;  // of those, one texel per pixel, found from vertices
    // The fast loops' eight-pixel runs are used where the processor has AVX2 (off: the
    // four-pixel loops draw everything, for tests that run both).
    bool wideSpans = true;
    uint64_t wideRuns = 0;  // spans of which a wide run drew a part
};

D3DGlobals& D3DState();
// Records a call when the log is on; returns result.
DDResult RecordD3DCall(const char* op, uint32_t a, uint32_t b, uint32_t c, DDResult result);
// The description of the one device offered.
DeviceDesc MakeDeviceDesc();
// The six texture formats the device draws from, in the order EnumTextureFormats gives them.
const PixelFormat* TextureFormats(int* count);
// Whether a surface's format is one of them / a format the device draws into.
bool IsTextureFormat(const PixelFormat& format);
bool IsTargetFormat(const PixelFormat& format);
// Makes the Direct3D object of a DirectDraw object (one reference; one taken on owner).
DDResult CreateDirect3DObject(DirectDraw* owner, Direct3D** out);

class Direct3DImpl final : public Direct3D {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult EnumDevices(EnumDevicesCallback callback, void* context) override;
    DDResult EnumZBufferFormats(const DeviceGuid& device, EnumPixelFormatsCallback callback,
                                void* context) override;
    DDResult CreateDevice(const DeviceGuid& device, DrawSurface* target,
                          Direct3DDevice** out) override;

    uint32_t refCount = 1;
    DirectDraw* owner = nullptr;  // one reference held
};

class DeviceImpl final : public Direct3DDevice {
public:
    uint32_t AddRef() override;
    uint32_t Release() override;
    DDResult GetCaps(DeviceDesc* out) override;
    DDResult EnumTextureFormats(EnumPixelFormatsCallback callback, void* context) override;
    DDResult BeginScene() override;
    DDResult EndScene() override;
    DDResult SetRenderState(RenderStateType state, uint32_t value) override;
    DDResult GetRenderState(RenderStateType state, uint32_t* out) override;
    DDResult SetTextureStageState(uint32_t stage, TextureStageStateType state,
                                  uint32_t value) override;
    DDResult GetTextureStageState(uint32_t stage, TextureStageStateType state,
                                  uint32_t* out) override;
    DDResult SetTexture(uint32_t stage, DrawSurface* texture) override;
    DDResult GetTexture(uint32_t stage, DrawSurface** out) override;
    DDResult SetViewport(const Viewport* viewport) override;
    DDResult GetViewport(Viewport* out) override;
    DDResult SetTransform(TransformStateType type, const Matrix* matrix) override;
    DDResult GetTransform(TransformStateType type, Matrix* out) override;
    DDResult SetRenderTarget(DrawSurface* target, uint32_t flags) override;
    DDResult GetRenderTarget(DrawSurface** out) override;
    DDResult Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                   uint32_t stencil) override;
    DDResult DrawPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                           const void* vertices, uint32_t count, uint32_t flags) override;
    DDResult DrawIndexedPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                                  const void* vertices, uint32_t vertexCount,
                                  const uint16_t* indices, uint32_t indexCount,
                                  uint32_t flags) override;
    DDResult Load(DrawSurface* dest, const Point* destPoint, DrawSurface* source,
                  const Rect* sourceRect, uint32_t flags) override;

    // Default render and stage states (as a new device has them).
    void ResetStates();

    // The checks DrawPrimitive and DrawIndexedPrimitive share (D3D_OK: drawable).
    DDResult CheckDraw(PrimitiveType primitiveType, uint32_t vertexFormat, const void* vertices,
                       uint32_t count) const;

    uint32_t refCount = 1;
    SurfaceImpl* target = nullptr;                       // one reference held
    SurfaceImpl* textures[kTextureStageCount] = {};      // one reference each
    uint32_t renderStates[kRenderStateCount] = {};
    uint32_t stageStates[kTextureStageCount][kTextureStageStateCount] = {};
    Viewport viewport = {};
    Matrix transforms[3] = {};
    bool inScene = false;
};

// The rasteriser (d3d_raster.cpp): draws a checked call of DrawPrimitive /
// DrawIndexedPrimitive (indices null: vertices in order, indexCount of them) / Clear.
DDResult RasterizePrimitive(DeviceImpl* device, PrimitiveType primitiveType,
                            uint32_t vertexFormat, const uint8_t* vertices, uint32_t vertexCount,
                            const uint16_t* indices, uint32_t indexCount);
DDResult ClearTarget(DeviceImpl* device, uint32_t count, const Rect* rects, uint32_t flags,
                     uint32_t color, float z);

}  // namespace plat
