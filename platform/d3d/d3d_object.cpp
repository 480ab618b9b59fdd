// The Direct3D object: the one device it offers, that device's description, Z-buffer and
// texture formats, and the making of devices; the layer's global state.
#include <cstring>

#include "platform/d3d/d3d_internal.h"
#include "platform/ddraw/ddraw_internal.h"

namespace plat {

D3DGlobals& D3DState() {
    static D3DGlobals state;
    return state;
}

DDResult RecordD3DCall(const char* op, uint32_t a, uint32_t b, uint32_t c, DDResult result) {
    D3DGlobals& state = D3DState();
    if (state.logging) state.calls.push_back(D3DCall{op, a, b, c, result});
    return result;
}

namespace {

constexpr PixelFormat Rgb(uint32_t bits, uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return PixelFormat{sizeof(PixelFormat), DDPF_RGB | (a != 0 ? DDPF_ALPHAPIXELS : 0u), 0,
                       bits, r, g, b, a};
}

constexpr PixelFormat kTextureFormats[] = {
    Rgb(16, 0, 0xF800, 0x07E0, 0x001F),                        // 5-6-5
    Rgb(16, 0, 0x7C00, 0x03E0, 0x001F),                        // X1-5-5-5
    Rgb(16, 0x8000, 0x7C00, 0x03E0, 0x001F),                   // A1-5-5-5
    Rgb(16, 0xF000, 0x0F00, 0x00F0, 0x000F),                   // A4-4-4-4
    Rgb(32, 0, 0xFF0000, 0xFF00, 0xFF),                        // X8-8-8-8
    Rgb(32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF),               // A8-8-8-8
};

bool SameMasks(const PixelFormat& a, const PixelFormat& b) {
    return a.bitCount == b.bitCount && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask && a.alphaMask == b.alphaMask;
}

}  // namespace

const PixelFormat* TextureFormats(int* count) {
    *count = static_cast<int>(sizeof kTextureFormats / sizeof kTextureFormats[0]);
    return kTextureFormats;
}

bool IsTextureFormat(const PixelFormat& format) {
    if ((format.flags & DDPF_RGB) == 0) return false;
    for (const PixelFormat& f : kTextureFormats) {
        if (SameMasks(f, format)) return true;
    }
    return false;
}

bool IsTargetFormat(const PixelFormat& format) {
    if ((format.flags & DDPF_RGB) == 0) return false;
    return SameMasks(format, kTextureFormats[0]) || SameMasks(format, kTextureFormats[4]) ||
           SameMasks(format, kTextureFormats[5]);
}

DeviceDesc MakeDeviceDesc() {
    const D3DGlobals& state = D3DState();
    DeviceDesc d = {};
    PrimCaps caps = {};
    caps.size = sizeof(PrimCaps);
    caps.zCmpCaps = caps.alphaCmpCaps = 0xFF;  // every comparison
    caps.srcBlendCaps = caps.destBlendCaps = 0x3FF;  // ZERO .. INVDESTCOLOR
    caps.textureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                       D3DPTEXTURECAPS_TRANSPARENCY;
    if (state.squareOnlyTextures) caps.textureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    d.lineCaps = caps;
    d.triCaps = caps;
    d.deviceRenderBitDepth = DDBD_16 | DDBD_32;
    d.deviceZBufferBitDepth = DDBD_16;
    d.minTextureWidth = d.minTextureHeight = state.minTextureSide;
    d.maxTextureWidth = d.maxTextureHeight = state.maxTextureSide;
    d.maxTextureRepeat = 0x7FFF;
    d.maxTextureAspectRatio = 0;
    d.maxAnisotropy = 1;
    d.maxTextureBlendStages = kBlendStageCount;
    d.maxSimultaneousTextures = kBlendStageCount;
    d.deviceGuid = IID_IDirect3DHALDevice;
    return d;
}

DDResult CreateDirect3DObject(DirectDraw* owner, Direct3D** out) {
    auto* object = new Direct3DImpl();
    object->owner = owner;
    owner->AddRef();
    *out = object;
    return D3D_OK;
}

// The DirectDraw object's way to its 3D side is made here, beside the 3D objects, so that the
// DirectDraw shape knows nothing of them.
DDResult DirectDrawImpl::QueryDirect3D(Direct3D** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (!DDrawState().direct3DOffered) return E_NOINTERFACE;
    return CreateDirect3DObject(this, out);
}

uint32_t Direct3DImpl::AddRef() { return ++refCount; }

uint32_t Direct3DImpl::Release() {
    const uint32_t left = --refCount;
    if (left != 0) return left;
    owner->Release();
    delete this;
    return 0;
}

DDResult Direct3DImpl::EnumDevices(EnumDevicesCallback callback, void* context) {
    if (callback == nullptr) return DDERR_INVALIDPARAMS;
    const DeviceDesc desc = MakeDeviceDesc();
    callback("Software rasteriser in the shape of a hardware device", "HAL", &desc, context);
    return D3D_OK;
}

DDResult Direct3DImpl::EnumZBufferFormats(const DeviceGuid& device,
                                          EnumPixelFormatsCallback callback, void* context) {
    if (callback == nullptr) return DDERR_INVALIDPARAMS;
    if (!(device == IID_IDirect3DHALDevice)) return D3DERR_INVALID_DEVICE;
    PixelFormat z = {};
    z.size = sizeof z;
    z.flags = DDPF_ZBUFFER;
    z.bitCount = 16;
    z.greenMask = 0xFFFF;
    callback(&z, context);
    return D3D_OK;
}

DDResult Direct3DImpl::CreateDevice(const DeviceGuid& device, DrawSurface* target,
                                    Direct3DDevice** out) {
    if (out == nullptr || target == nullptr) {
        return RecordD3DCall("CreateDevice", 0, 0, 0, DDERR_INVALIDPARAMS);
    }
    *out = nullptr;
    auto* surface = static_cast<SurfaceImpl*>(target);
    const uint32_t serial = surface->serial;
    if (!(device == IID_IDirect3DHALDevice)) {
        return RecordD3DCall("CreateDevice", serial, 0, 0, D3DERR_INVALID_DEVICE);
    }
    if ((surface->caps.caps & DDSCAPS_3DDEVICE) == 0) {
        return RecordD3DCall("CreateDevice", serial, 0, 0, DDERR_INVALIDCAPS);
    }
    if (!IsTargetFormat(surface->format)) {
        return RecordD3DCall("CreateDevice", serial, 0, 0, DDERR_INVALIDPIXELFORMAT);
    }
    if (ConsumePending(&D3DState().failDeviceCreates)) {
        return RecordD3DCall("CreateDevice", serial, 0, 0, DDERR_OUTOFMEMORY);
    }
    auto* made = new DeviceImpl();
    made->target = surface;
    surface->AddRef();
    made->ResetStates();
    ++D3DState().liveDevices;
    *out = made;
    return RecordD3DCall("CreateDevice", serial, 0, 0, D3D_OK);
}

}  // namespace plat
