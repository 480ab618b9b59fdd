// The per-draw states of the device: from the draw state and the texture to the blend render
// states and the texture stage cascade (the blend table and the texture stage table), sent
// only where they differ from what the device holds.
#include "graphics/d3d/device_internal.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_data.h"

namespace {

using namespace plat;

// A stage value left as the device holds it.
constexpr uint32_t kKeep = kUnknownDeviceState;

// Blend table: per blend mode the DESTBLEND and SRCBLEND factors; 0 = the mode does not blend.
struct BlendFactors {
    uint32_t dest, src;
};
constexpr BlendFactors kBlendTable[kBlendInvertDestination3D + 1] = {
    {0, 0},                                     // kBlendNone
    {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA},  // kBlendAlpha
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA},          // kBlendAdd
    {D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR},     // kBlendSubtract (inverts the destination)
    {D3DBLEND_SRCCOLOR, D3DBLEND_ZERO},         // kBlendMultiply
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA},          // kBlendAddByAlpha3D (subtract emulation)
    {0, 0},                                     // 6
    {0, 0},                                     // 7
    {D3DBLEND_ONE, D3DBLEND_ZERO},              // kBlendKeepDestination3D
    {D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR},     // kBlendInvertDestination3D
};
static_assert(kBlendModeCount == kBlendAddByAlpha3D,
              "the device's own modes follow the kernels' modes in its blend table");

BlendFactors BlendFactorsOf(int32_t mode) {
    if (mode < 0 || mode > kBlendInvertDestination3D) return {0, 0};
    return kBlendTable[mode];
}

struct StageOps {
    uint32_t colorOp, colorArg1, colorArg2;
    uint32_t alphaOp, alphaArg1, alphaArg2;
};

constexpr StageOps kDisabledStage = {D3DTOP_DISABLE, kKeep, kKeep, D3DTOP_DISABLE, kKeep, kKeep};

// Texture stage table without a blend graph: [combination][alpha case], one stage.
// Combination = vertex alpha + 2 x colour modulation; alpha case 0 = neither alpha key nor
// texture alpha, 1 = alpha key, 2 = texture alpha only.
constexpr StageOps kTextureStageTable[4][3] = {
    {
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_SELECTARG2, kKeep, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep},
    },
    {
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_SELECTARG2, kKeep, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
    },
    {
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, kKeep, D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep},
    },
    {
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, kKeep, D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
         D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
         D3DTA_DIFFUSE},
    },
};

// Untextured draws take the vertex colour and alpha, whatever the blend mode.
constexpr StageOps kDiffuseStage = {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, kKeep,
                                    D3DTOP_SELECTARG1, D3DTA_DIFFUSE, kKeep};

// The stages a draw uses and the render states around them.
struct StagePlan {
    int32_t count;                       // stages in use; stage count is disabled
    StageOps ops[kTextureStageCount3D + 1];
    DrawSurface* textures[kTextureStageCount3D + 1];
    int32_t vertexKind;
    uint32_t alphaTestEnable;
    uint32_t alphaRef, alphaFunc, textureFactor;  // kKeep: unchanged
    uint32_t alphaBlendEnable;
    uint32_t srcBlend, destBlend;                  // kKeep: unchanged
};

void AddStage(StagePlan& plan, const StageOps& ops, DrawSurface* texture) {
    plan.ops[plan.count] = ops;
    plan.textures[plan.count] = texture;
    ++plan.count;
}

int32_t AlphaCase(const Device3DRecord& d) {
    if (d.alphaKey) return 1;
    if (d.textureAlpha) return 2;
    return 0;
}

void PlanUntextured(const Device3DRecord& d, StagePlan& plan) {
    const BlendFactors blend = BlendFactorsOf(d.blendMode);
    const bool blending = BlendModeBlends(d.blendMode) != 0;
    plan.vertexKind = 0;
    AddStage(plan, kDiffuseStage, nullptr);
    plan.alphaTestEnable = 0;
    plan.alphaBlendEnable = blending ? 1 : 0;
    if (blending) {
        plan.srcBlend = blend.src;
        plan.destBlend = blend.dest;
    }
}

void PlanTextured(const Device3DRecord& d, StagePlan& plan) {
    const BlendFactors blend = BlendFactorsOf(d.blendMode);
    const bool blending = BlendModeBlends(d.blendMode) != 0;
    // Multiplying ignores the blend parameter: the stage alpha, which the alpha test below
    // reads, is then the texture's alone, so that a parameter of 0 still multiplies.
    const bool vertexAlpha = d.vertexAlpha && d.blendMode != kBlendMultiply;
    const int32_t combination = (vertexAlpha ? 1 : 0) + (d.colorModulation ? 2 : 0);
    plan.vertexKind = 1;
    AddStage(plan, kTextureStageTable[combination][AlphaCase(d)], d.stage0Texture);
    if (d.textureAlpha) {
        plan.alphaTestEnable = 1;
        plan.alphaRef = 0x10;
        plan.alphaFunc = D3DCMP_GREATER;
    } else if (d.zEnable != D3DZB_FALSE || (d.alphaKey && d.blendMode == kBlendMultiply)) {
        // Multiplying takes no alpha (the destination times the source colour): without
        // the test the key's texels would darken the destination by their own colour, where
        // the software renderer leaves the transparent colour out.
        plan.alphaTestEnable = 1;
        plan.alphaRef = 0;
        plan.alphaFunc = D3DCMP_GREATER;
    } else {
        plan.alphaTestEnable = 0;
    }
    // A texture's own alpha (antialiased glyphs, images with an alpha channel) mixes with the
    // destination as the alpha key does, as the software renderer mixes such graphs; the alpha
    // test alone would draw every texel above the reference at full strength.
    const bool alphaMix = d.alphaKey || d.textureAlpha;
    if (blending) {
        plan.srcBlend = blend.src;
        plan.destBlend = blend.dest;
    } else if (alphaMix) {
        plan.srcBlend = D3DBLEND_SRCALPHA;
        plan.destBlend = D3DBLEND_INVSRCALPHA;
    }
    plan.alphaBlendEnable = alphaMix || blending ? 1 : 0;
}

void PlanBlendGraph(Device3DRecord& d, StagePlan& plan) {
    const BlendFactors blend = BlendFactorsOf(d.blendMode);
    const bool blending = BlendModeBlends(d.blendMode) != 0;
    plan.vertexKind = 2;
    plan.srcBlend = blending ? blend.src : D3DBLEND_SRCALPHA;
    plan.destBlend = blending ? blend.dest : D3DBLEND_INVSRCALPHA;
    d.nothingVisible = d.blendGraphParam == 255 ? 1 : 0;
    const int32_t param = d.blendGraphParam < 0 ? 0 : d.blendGraphParam;

    uint32_t blendAlphaOp = D3DTOP_ADD;
    uint32_t graphAlphaOp = D3DTOP_MODULATE;
    if (d.blendGraphRange < 2) {
        plan.alphaTestEnable = 1;
        plan.alphaRef = static_cast<uint32_t>(param);
        if (param == 0 && (d.alphaKey || d.textureAlpha)) plan.alphaRef = 1;
        plan.alphaFunc = D3DCMP_GREATEREQUAL;
        plan.alphaBlendEnable = 0;
        plan.textureFactor = 0xFFFFFF;
    } else {
        const BlendGraphFactor factor = ComputeBlendGraphFactor(param, d.blendGraphRange);
        plan.alphaTestEnable = 0;
        plan.alphaBlendEnable = 1;
        plan.textureFactor = 0xFFFFFF | (factor.factorAlpha << 24);
        blendAlphaOp = factor.alphaOp;
        graphAlphaOp = factor.modulateOp;
    }

    AddStage(plan, {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, blendAlphaOp, D3DTA_TEXTURE,
                    D3DTA_TFACTOR},
             d.stage1Texture);
    if (d.alphaKey) {
        AddStage(plan, {D3DTOP_SELECTARG1, D3DTA_CURRENT, kKeep, D3DTOP_MODULATE, D3DTA_SPECULAR,
                        D3DTA_CURRENT},
                 nullptr);
    }
    const StageOps graphStage =
        d.colorModulation
            ? StageOps{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, graphAlphaOp,
                       D3DTA_TEXTURE, D3DTA_CURRENT}
            : StageOps{D3DTOP_SELECTARG1, D3DTA_TEXTURE, kKeep, graphAlphaOp, D3DTA_TEXTURE,
                       D3DTA_CURRENT};
    AddStage(plan, graphStage, d.stage0Texture);
    // As without a blend graph, multiplying leaves the parameter out of the stage alpha that
    // the alpha test reads, so that a parameter of 0 still multiplies.
    if (d.vertexAlpha && d.blendMode != kBlendMultiply) {
        AddStage(plan, {D3DTOP_SELECTARG1, D3DTA_CURRENT, kKeep, D3DTOP_MODULATE, D3DTA_DIFFUSE,
                        D3DTA_CURRENT},
                 nullptr);
    }
}

// Texture coordinate set of each stage: 0 for the blend graph (and stage 3), 1 for the stages
// that read the graph texture behind it.
uint32_t TexCoordIndexOf(uint32_t stage) { return stage == 1 || stage == 2 ? 1 : 0; }

int SetStageTexture(Device3DRecord* d, uint32_t stage, DrawSurface* texture) {
    TextureStageCache& cache = d->stages[stage];
    if (!d->force && cache.texture == texture) return 0;
    FlushDeviceVertices(d);
    if (d->device->SetTexture(stage, texture) != D3D_OK) return -1;
    cache.texture = texture;
    return 0;
}

void SendStage(Device3DRecord* d, uint32_t stage, const StageOps& ops, DrawSurface* texture) {
    TextureStageCache& cache = d->stages[stage];
    SetStageTexture(d, stage, texture);
    SetCachedStageState(d, stage, D3DTSS_TEXCOORDINDEX, &cache.texCoordIndex,
                        TexCoordIndexOf(stage));
    const struct {
        uint32_t state;
        uint32_t* cache;
        uint32_t value;
    } values[] = {
        {D3DTSS_COLOROP, &cache.colorOp, ops.colorOp},
        {D3DTSS_COLORARG1, &cache.colorArg1, ops.colorArg1},
        {D3DTSS_COLORARG2, &cache.colorArg2, ops.colorArg2},
        {D3DTSS_ALPHAOP, &cache.alphaOp, ops.alphaOp},
        {D3DTSS_ALPHAARG1, &cache.alphaArg1, ops.alphaArg1},
        {D3DTSS_ALPHAARG2, &cache.alphaArg2, ops.alphaArg2},
    };
    for (const auto& v : values) {
        if (v.value != kKeep) SetCachedStageState(d, stage, v.state, v.cache, v.value);
    }
}

void SendPlan(Device3DRecord* d, StagePlan& plan) {
    AddStage(plan, kDisabledStage, nullptr);
    d->batch.kind = plan.vertexKind;

    SetCachedRenderState(d, D3DRENDERSTATE_ALPHATESTENABLE, &d->alphaTestEnable,
                         plan.alphaTestEnable);
    if (plan.alphaRef != kKeep) {
        SetCachedRenderState(d, D3DRENDERSTATE_ALPHAREF, &d->alphaRef, plan.alphaRef);
    }
    if (plan.alphaFunc != kKeep) {
        SetCachedRenderState(d, D3DRENDERSTATE_ALPHAFUNC, &d->alphaFunc, plan.alphaFunc);
    }
    if (plan.textureFactor != kKeep) {
        SetCachedRenderState(d, D3DRENDERSTATE_TEXTUREFACTOR, &d->textureFactor,
                             plan.textureFactor);
    }
    SetCachedRenderState(d, D3DRENDERSTATE_ALPHABLENDENABLE, &d->alphaBlendEnable,
                         plan.alphaBlendEnable);
    if (plan.destBlend != kKeep) {
        SetCachedRenderState(d, D3DRENDERSTATE_DESTBLEND, &d->destBlend, plan.destBlend);
    }
    if (plan.srcBlend != kKeep) {
        SetCachedRenderState(d, D3DRENDERSTATE_SRCBLEND, &d->srcBlend, plan.srcBlend);
    }

    // Stage by stage up to the one that ends the cascade; textures left in the stages behind
    // it are taken out so that the device holds no texture it does not draw with.
    uint32_t stage = 0;
    for (; stage < static_cast<uint32_t>(plan.count) && stage < kTextureStageCount3D; ++stage) {
        SendStage(d, stage, plan.ops[stage], plan.textures[stage]);
        if (plan.ops[stage].alphaOp == D3DTOP_DISABLE) break;
    }
    for (++stage; stage < kTextureStageCount3D; ++stage) {
        if (d->stages[stage].texture != nullptr) SetStageTexture(d, stage, nullptr);
    }

    const int32_t used = plan.count - 1;
    if (used != d->stageCount) {
        d->stageCount = used;
        ApplyFilterToStages(d, used);
    }
}

Device3DRecord* DeviceAt(int32_t index) {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D == nullptr || index < 0 || index >= kMaxDevices3D) return nullptr;
    Device3DRecord& d = state.devices[index];
    return d.inUse && d.device != nullptr ? &d : nullptr;
}

}  // namespace

BlendGraphFactor ComputeBlendGraphFactor(int32_t borderParam, int32_t borderRange) {
    int32_t scale;  // the multiplier of the graph stage's modulate
    uint32_t modulate;
    if (borderRange <= 64) {
        scale = 4;
        modulate = D3DTOP_MODULATE4X;
    } else if (borderRange <= 128) {
        scale = 2;
        modulate = D3DTOP_MODULATE2X;
    } else {
        scale = 1;
        modulate = D3DTOP_MODULATE;
    }
    const int32_t span = 0x100 * (scale + 1);  // 0x500, 0x300, 0x200
    const int32_t param = borderParam < 0 ? 0 : borderParam > 255 ? 255 : borderParam;
    const int32_t v = span - param * span / 255;
    // The weight is scale x (blend alpha + offset): the offset moves the blend alpha first.
    const int32_t offset = (v - 0x100 * scale) / scale;
    BlendGraphFactor factor;
    factor.alphaOp = offset >= 0 ? D3DTOP_ADD : D3DTOP_SUBTRACT;
    const int32_t magnitude = offset >= 0 ? offset : -offset;
    factor.factorAlpha = static_cast<uint32_t>(magnitude > 255 ? 255 : magnitude);
    factor.modulateOp = modulate;
    return factor;
}

int ApplyTextureStageStates(int32_t index) {
    Device3DRecord* d = DeviceAt(index);
    if (d == nullptr) return -1;
    if (!d->force && !d->stateChanged && !d->textureChanged) return 0;
    FlushDeviceVertices(d);
    if (!d->force && !d->stateChanged) {
        // Only the texture changed: it goes into the stage that reads the graph texture.
        if (d->stage0Texture != nullptr) {
            const uint32_t stage = d->stage1Texture == nullptr ? 0 : d->alphaKey ? 2 : 1;
            SetStageTexture(d, stage, d->stage0Texture);
        }
        d->textureChanged = 0;
        return 0;
    }

    StagePlan plan = {};
    plan.alphaRef = plan.alphaFunc = plan.textureFactor = kKeep;
    plan.srcBlend = plan.destBlend = kKeep;
    d->nothingVisible = 0;
    if (d->stage0Texture == nullptr) {
        PlanUntextured(*d, plan);
    } else if (d->stage1Texture == nullptr) {
        PlanTextured(*d, plan);
    } else {
        PlanBlendGraph(*d, plan);
    }
    SendPlan(d, plan);
    d->stateChanged = 0;
    d->textureChanged = 0;
    return 0;
}

int SetDeviceTexture(int32_t index, plat::DrawSurface* texture) {
    Device3DRecord* d = DeviceAt(index);
    if (d == nullptr) return -1;
    if (d->stage0Texture == texture) return 0;
    FlushDeviceVertices(d);
    if ((d->stage0Texture == nullptr) != (texture == nullptr)) d->stateChanged = 1;
    d->stage0Texture = texture;
    d->textureChanged = 1;
    return 0;
}

int SetBlendGraphTexture(const GraphRecord* graph, int32_t param, int32_t range) {
    Device3DRecord* d = CurrentDevice3DRecord();
    if (d == nullptr) return -1;
    FlushDeviceVertices(d);
    Device3DState& state = GetDevice3DState();
    if (graph != nullptr) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[0]);
        const SurfaceDataRecord* record =
            piece != nullptr ? GetSurfaceData(piece->surfaceData) : nullptr;
        if (record == nullptr || record->surface == nullptr) return -1;
        d->stage1Texture = record->surface;
        state.blendScaleU = record->width > 0 ? 1.0f / record->width : 0.0f;
        state.blendScaleV = record->height > 0 ? 1.0f / record->height : 0.0f;
    } else {
        d->stage1Texture = nullptr;
    }
    if (param != -1) d->blendGraphParam = param;
    if (range != -1) d->blendGraphRange = range;
    d->stateChanged = 1;
    return 0;
}

void GetBlendGraphScales(float* scaleU, float* scaleV) {
    const Device3DState& state = GetDevice3DState();
    if (scaleU != nullptr) *scaleU = state.blendScaleU;
    if (scaleV != nullptr) *scaleV = state.blendScaleV;
}

int ApplyDrawRenderState(HandleValue piece, int32_t flags) {
    Device3DRecord* d = CurrentDevice3DRecord();
    if (d == nullptr) return -1;
    const DrawState& draw = GetDrawState();
    const int32_t index = GetDevice3DState().currentDevice;

    plat::DrawSurface* texture = nullptr;
    int32_t alphaKey = 0, textureAlpha = 0;
    uint32_t colorKey = 0;
    if (piece != kNoHandle) {
        const Surface3DData* data = GetSurface3DData(piece);
        const SurfaceDataRecord* record =
            data != nullptr ? GetSurfaceData(data->surfaceData) : nullptr;
        if (record != nullptr) {
            texture = record->surface;
            if (flags & kApplyTransFlag) {
                const bool alphaChannel = record->alpha != 0;
                const bool alphaKeyed = !alphaChannel && record->alphaTest != 0;
                if (!alphaChannel && !alphaKeyed) {
                    colorKey = 1;
                } else if (BlendModeBlends(draw.blendMode)) {
                    alphaKey = 1;
                } else if (!(flags & kApplyIntegerCoords) && d->filter == 1) {
                    alphaKey = 1;
                } else {
                    alphaKey = alphaKeyed ? 1 : 0;
                    textureAlpha = alphaChannel ? 1 : 0;
                }
            }
        }
    }

    SetDeviceTexturePerspective(0);
    const int32_t colorModulation = (draw.bright & 0xFFFFFF) != kBrightWhite ? 1 : 0;
    const int32_t vertexAlpha = draw.blendMode != kBlendNone ? 1 : 0;
    SetDeviceTexture(index, texture);
    SetDeviceShadeMode(D3DSHADE_FLAT);
    SetDeviceCullMode(draw.cullMode == 0 ? D3DCULL_NONE : D3DCULL_CCW);

    if (d->blendMode != draw.blendMode || d->alphaKey != alphaKey ||
        d->textureAlpha != textureAlpha || d->colorModulation != colorModulation ||
        d->vertexAlpha != vertexAlpha) {
        d->stateChanged = 1;
    }
    d->blendMode = draw.blendMode;
    d->alphaKey = alphaKey;
    d->textureAlpha = textureAlpha;
    d->colorModulation = colorModulation;
    d->vertexAlpha = vertexAlpha;

    const uint32_t zBefore = d->zEnable;
    if (flags & kApplyDepthSettings) {
        SetDeviceZEnable(draw.depthEnable == 1 ? D3DZB_TRUE : D3DZB_FALSE);
        SetDeviceZWriteEnable(static_cast<uint32_t>(draw.depthWrite));
        SetDeviceZFunc(static_cast<uint32_t>(draw.depthFunction));
    } else if (d->zEnable != D3DZB_FALSE) {
        SetDeviceZEnable(D3DZB_FALSE);
    }
    // The alpha test of a texture without alpha follows the depth test.
    if (d->zEnable != zBefore && d->stage0Texture != nullptr) d->stateChanged = 1;
    if (d->stateChanged || d->textureChanged) ApplyTextureStageStates(index);
    SetDeviceColorKeyEnable(colorKey);
    return 0;
}
