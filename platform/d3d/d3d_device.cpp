// A 3D device: references, scenes, the render and texture stage states, textures, the
// viewport, transforms and the render target. The pixel work is in d3d_raster.cpp.
#include <cstring>

#include "platform/d3d/d3d_internal.h"

namespace plat {

namespace {

bool SurfaceHasZ(const SurfaceImpl* surface) { return surface->zBuffer != nullptr; }

Viewport WholeViewport(const SurfaceImpl* target) {
    return Viewport{0, 0, target->width, target->height, 0.0f, 1.0f};
}

}  // namespace

void DeviceImpl::ResetStates() {
    std::memset(renderStates, 0, sizeof renderStates);
    renderStates[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = 1;
    renderStates[D3DRENDERSTATE_ZENABLE] = SurfaceHasZ(target) ? D3DZB_TRUE : D3DZB_FALSE;
    renderStates[D3DRENDERSTATE_FILLMODE] = 3;  // solid
    renderStates[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    renderStates[D3DRENDERSTATE_ZWRITEENABLE] = 1;
    renderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    renderStates[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
    renderStates[D3DRENDERSTATE_LIGHTING] = 1;
    std::memset(stageStates, 0, sizeof stageStates);
    for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        uint32_t* s = stageStates[stage];
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_TEXCOORDINDEX] = stage;
        s[D3DTSS_ADDRESS] = s[D3DTSS_ADDRESSU] = s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        s[D3DTSS_MAGFILTER] = D3DTFG_POINT;
        s[D3DTSS_MINFILTER] = D3DTFN_POINT;
        s[D3DTSS_MIPFILTER] = 1;  // none
    }
    viewport = WholeViewport(target);
    for (Matrix& m : transforms) {
        m = Matrix{};
        for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    }
}

uint32_t DeviceImpl::AddRef() { return ++refCount; }

uint32_t DeviceImpl::Release() {
    const uint32_t left = --refCount;
    if (left != 0) return left;
    RecordD3DCall("Release", 0, 0, 0, D3D_OK);
    for (SurfaceImpl*& t : textures) {
        if (t != nullptr) t->Release();
        t = nullptr;
    }
    target->Release();
    --D3DState().liveDevices;
    delete this;
    return 0;
}

DDResult DeviceImpl::GetCaps(DeviceDesc* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = MakeDeviceDesc();
    return D3D_OK;
}

DDResult DeviceImpl::EnumTextureFormats(EnumPixelFormatsCallback callback, void* context) {
    if (callback == nullptr) return DDERR_INVALIDPARAMS;
    int count = 0;
    const PixelFormat* formats = TextureFormats(&count);
    const bool only16 = D3DState().only16BitTextures;
    for (int i = 0; i < count; ++i) {
        if (only16 && formats[i].bitCount != 16) continue;
        PixelFormat f = formats[i];
        if (callback(&f, context) == 0) break;
    }
    return D3D_OK;
}

DDResult DeviceImpl::BeginScene() {
    if (inScene) return RecordD3DCall("BeginScene", 0, 0, 0, D3DERR_SCENE_IN_SCENE);
    inScene = true;
    return RecordD3DCall("BeginScene", 0, 0, 0, D3D_OK);
}

DDResult DeviceImpl::EndScene() {
    if (!inScene) return RecordD3DCall("EndScene", 0, 0, 0, D3DERR_SCENE_NOT_IN_SCENE);
    inScene = false;
    return RecordD3DCall("EndScene", 0, 0, 0, D3D_OK);
}

DDResult DeviceImpl::SetRenderState(RenderStateType state, uint32_t value) {
    if (state == 0 || state >= kRenderStateCount) {
        return RecordD3DCall("SetRenderState", state, value, 0, D3DERR_INVALIDSTATE);
    }
    renderStates[state] = value;
    return RecordD3DCall("SetRenderState", state, value, 0, D3D_OK);
}

DDResult DeviceImpl::GetRenderState(RenderStateType state, uint32_t* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    if (state == 0 || state >= kRenderStateCount) return D3DERR_INVALIDSTATE;
    *out = renderStates[state];
    return D3D_OK;
}

DDResult DeviceImpl::SetTextureStageState(uint32_t stage, TextureStageStateType state,
                                          uint32_t value) {
    if (stage >= kTextureStageCount || state == 0 || state >= kTextureStageStateCount) {
        return RecordD3DCall("SetTextureStageState", stage, state, value, DDERR_INVALIDPARAMS);
    }
    stageStates[stage][state] = value;
    if (state == D3DTSS_ADDRESS) {
        stageStates[stage][D3DTSS_ADDRESSU] = stageStates[stage][D3DTSS_ADDRESSV] = value;
    }
    return RecordD3DCall("SetTextureStageState", stage, state, value, D3D_OK);
}

DDResult DeviceImpl::GetTextureStageState(uint32_t stage, TextureStageStateType state,
                                          uint32_t* out) {
    if (out == nullptr || stage >= kTextureStageCount || state == 0 ||
        state >= kTextureStageStateCount) {
        return DDERR_INVALIDPARAMS;
    }
    *out = stageStates[stage][state];
    return D3D_OK;
}

DDResult DeviceImpl::SetTexture(uint32_t stage, DrawSurface* texture) {
    auto* surface = static_cast<SurfaceImpl*>(texture);
    const uint32_t serial = surface != nullptr ? surface->serial : 0;
    if (stage >= kTextureStageCount) {
        return RecordD3DCall("SetTexture", stage, serial, 0, DDERR_INVALIDPARAMS);
    }
    if (surface != nullptr) {
        if ((surface->caps.caps & DDSCAPS_TEXTURE) == 0) {
            return RecordD3DCall("SetTexture", stage, serial, 0, DDERR_INVALIDCAPS);
        }
        if (!IsTextureFormat(surface->format)) {
            return RecordD3DCall("SetTexture", stage, serial, 0, D3DERR_TEXTURE_BADSIZE);
        }
        surface->AddRef();
    }
    if (textures[stage] != nullptr) textures[stage]->Release();
    textures[stage] = surface;
    return RecordD3DCall("SetTexture", stage, serial, 0, D3D_OK);
}

DDResult DeviceImpl::GetTexture(uint32_t stage, DrawSurface** out) {
    if (out == nullptr || stage >= kTextureStageCount) return DDERR_INVALIDPARAMS;
    *out = textures[stage];
    if (*out != nullptr) (*out)->AddRef();
    return D3D_OK;
}

DDResult DeviceImpl::SetViewport(const Viewport* v) {
    if (v == nullptr) return RecordD3DCall("SetViewport", 0, 0, 0, DDERR_INVALIDPARAMS);
    if (v->width == 0 || v->height == 0) {
        return RecordD3DCall("SetViewport", v->x, v->y, v->width, DDERR_INVALIDPARAMS);
    }
    if (uint64_t{v->x} + v->width > target->width ||
        uint64_t{v->y} + v->height > target->height) {
        return RecordD3DCall("SetViewport", v->x, v->y, v->width, D3DERR_VIEWPORTHASNODEVICE);
    }
    viewport = *v;
    return RecordD3DCall("SetViewport", v->x, v->y, v->width, D3D_OK);
}

DDResult DeviceImpl::GetViewport(Viewport* out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    *out = viewport;
    return D3D_OK;
}

DDResult DeviceImpl::SetTransform(TransformStateType type, const Matrix* matrix) {
    if (matrix == nullptr || type < D3DTRANSFORMSTATE_WORLD ||
        type > D3DTRANSFORMSTATE_PROJECTION) {
        return RecordD3DCall("SetTransform", type, 0, 0, DDERR_INVALIDPARAMS);
    }
    transforms[type - 1] = *matrix;
    return RecordD3DCall("SetTransform", type, 0, 0, D3D_OK);
}

DDResult DeviceImpl::GetTransform(TransformStateType type, Matrix* out) {
    if (out == nullptr || type < D3DTRANSFORMSTATE_WORLD || type > D3DTRANSFORMSTATE_PROJECTION) {
        return DDERR_INVALIDPARAMS;
    }
    *out = transforms[type - 1];
    return D3D_OK;
}

DDResult DeviceImpl::SetRenderTarget(DrawSurface* newTarget, uint32_t flags) {
    auto* surface = static_cast<SurfaceImpl*>(newTarget);
    const uint32_t serial = surface != nullptr ? surface->serial : 0;
    if (surface == nullptr || flags != 0) {
        return RecordD3DCall("SetRenderTarget", serial, 0, 0, DDERR_INVALIDPARAMS);
    }
    if ((surface->caps.caps & DDSCAPS_3DDEVICE) == 0) {
        return RecordD3DCall("SetRenderTarget", serial, 0, 0, DDERR_INVALIDCAPS);
    }
    if (!IsTargetFormat(surface->format)) {
        return RecordD3DCall("SetRenderTarget", serial, 0, 0, DDERR_INVALIDPIXELFORMAT);
    }
    surface->AddRef();
    target->Release();
    target = surface;
    viewport = WholeViewport(target);
    return RecordD3DCall("SetRenderTarget", serial, 0, 0, D3D_OK);
}

DDResult DeviceImpl::GetRenderTarget(DrawSurface** out) {
    if (out == nullptr) return DDERR_INVALIDPARAMS;
    target->AddRef();
    *out = target;
    return D3D_OK;
}

DDResult DeviceImpl::Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color,
                           float z, uint32_t) {
    DDResult r = D3D_OK;
    if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0) {
        r = DDERR_INVALIDPARAMS;
    } else if ((flags & D3DCLEAR_ZBUFFER) != 0 && target->zBuffer == nullptr) {
        r = D3DERR_ZBUFFER_NOTPRESENT;
    } else {
        r = ClearTarget(this, rects != nullptr ? count : 0, rects, flags, color, z);
    }
    return RecordD3DCall("Clear", flags, color, count, r);
}

DDResult DeviceImpl::CheckDraw(PrimitiveType primitiveType, uint32_t vertexFormat,
                               const void* vertices, uint32_t count) const {
    if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    if (vertices == nullptr) return DDERR_INVALIDPARAMS;
    if (primitiveType < D3DPT_TRIANGLELIST || primitiveType > D3DPT_TRIANGLEFAN) {
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
    if ((vertexFormat & D3DFVF_XYZRHW) == 0 ||
        (vertexFormat & ~(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                          D3DFVF_TEXCOUNT_MASK)) != 0 ||
        ((vertexFormat & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT) > 8) {
        return D3DERR_INVALIDVERTEXTYPE;
    }
    if (count < 3 || (primitiveType == D3DPT_TRIANGLELIST && count % 3 != 0)) {
        return D3DERR_INVALIDVERTEXCOUNT;
    }
    return D3D_OK;
}

DDResult DeviceImpl::DrawPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                                   const void* vertices, uint32_t count, uint32_t) {
    DDResult r = CheckDraw(primitiveType, vertexFormat, vertices, count);
    if (r == D3D_OK) {
        r = RasterizePrimitive(this, primitiveType, vertexFormat,
                               static_cast<const uint8_t*>(vertices), count, nullptr, count);
    }
    return RecordD3DCall("DrawPrimitive", primitiveType, vertexFormat, count, r);
}

DDResult DeviceImpl::DrawIndexedPrimitive(PrimitiveType primitiveType, uint32_t vertexFormat,
                                          const void* vertices, uint32_t vertexCount,
                                          const uint16_t* indices, uint32_t indexCount,
                                          uint32_t) {
    DDResult r = CheckDraw(primitiveType, vertexFormat, vertices, indexCount);
    if (r == D3D_OK && indices == nullptr) r = DDERR_INVALIDPARAMS;
    if (r == D3D_OK) {
        for (uint32_t i = 0; i < indexCount; ++i) {
            if (indices[i] >= vertexCount) {
                r = DDERR_INVALIDPARAMS;
                break;
            }
        }
    }
    if (r == D3D_OK) {
        r = RasterizePrimitive(this, primitiveType, vertexFormat,
                               static_cast<const uint8_t*>(vertices), vertexCount, indices,
                               indexCount);
    }
    return RecordD3DCall("DrawIndexedPrimitive", primitiveType, vertexFormat, indexCount, r);
}

}  // namespace plat
