// Start and end of the Direct3D back end: the Direct3D object, the accepted device, the device
// records, and the release and re-acquisition around a display change.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/handle_value.h"
#include "base/log.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"

namespace {

struct DeviceSearch {
    uint32_t depthBit;  // DDBD_* of the screen, 0: nothing is accepted
    int found;
};

int32_t AcceptDevice(const char* /*description*/, const char* /*name*/,
                     const plat::DeviceDesc* desc, void* context) {
    DeviceSearch* search = static_cast<DeviceSearch*>(context);
    const bool hal = desc->deviceGuid == plat::IID_IDirect3DHALDevice;
    const bool tnl = desc->deviceGuid == plat::IID_IDirect3DTnLHalDevice;
    if (!hal && !tnl) return 1;
    if (search->depthBit == 0 || (desc->deviceRenderBitDepth & search->depthBit) == 0) return 1;
    Device3DState& state = GetDevice3DState();
    state.deviceDesc = *desc;
    state.deviceGuid = desc->deviceGuid;
    search->found = 1;
    return tnl ? 0 : 1;
}

int32_t AcceptZBufferFormat(plat::PixelFormat* format, void* context) {
    if (format->flags != plat::DDPF_ZBUFFER || format->bitCount != 16) return 1;
    GetDevice3DState().zBufferFormat = *format;
    *static_cast<int*>(context) = 1;
    return 0;
}

void ReleaseDirect3DObjectOnly() {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D != nullptr) state.direct3D->Release();
    state.direct3D = nullptr;
}

void ReleaseWorkTexture() {
    Device3DState& state = GetDevice3DState();
    if (state.workTexture != nullptr) state.workTexture->Release();
    state.workTexture = nullptr;
}

uint32_t AddressModeSetting() {
    const int32_t mode = GetDrawState().textureAddressMode;
    return mode == 0 ? plat::D3DTADDRESS_CLAMP : static_cast<uint32_t>(mode);
}

// The device object is released; the record with its caches stays.
void ReleaseDeviceObject(Device3DRecord& device) {
    if (device.device == nullptr) return;
    if (device.inScene) device.device->EndScene();
    device.inScene = 0;
    for (uint32_t stage = 0; stage < kTextureStageCount3D; ++stage) {
        device.device->SetTexture(stage, nullptr);
    }
    device.device->Release();
    device.device = nullptr;
    device.batch.count = 0;
}

// Every vertex slot starts with z 0 and rhw 1; the blend-graph vertices' specular is white.
void PrepareVertexBuffers(VertexBatch& batch) {
    for (PlainVertex& v : batch.plain) {
        v.z = 0.0f;
        v.rhw = 1.0f;
    }
    for (TexVertex& v : batch.tex) {
        v.z = 0.0f;
        v.rhw = 1.0f;
    }
    for (BlendTexVertex& v : batch.blendTex) {
        v.z = 0.0f;
        v.rhw = 1.0f;
        v.specular = 0xFFFFFFFF;
    }
}

// Cache values that match no value a setter sends: the first set of each goes to the device.
constexpr uint32_t kUnknownState = 0xFFFFFFFF;

void StartCaches(Device3DRecord& device) {
    device.alphaTestEnable = 0;
    device.alphaRef = 0;
    device.alphaFunc = 0;
    device.alphaBlendEnable = 0;
    device.textureFactor = 0;
    device.srcBlend = 0;
    device.destBlend = 0;
    device.zEnable = 1;
    device.zWriteEnable = 0;
    device.zFunc = 4;
    device.shadeMode = 1;
    device.cullMode = plat::D3DCULL_NONE;
    device.textureAddress = AddressModeSetting();
    device.texturePerspective = 0;
    device.lighting = 0;
    device.colorKeyEnable = 0;
    device.blendGraphParam = -1;
    device.stageCount = 0;
    for (TextureStageCache& stage : device.stages) {
        stage.texture = nullptr;
        stage.colorOp = stage.alphaOp = plat::D3DTOP_DISABLE;
        stage.colorArg1 = stage.alphaArg1 = plat::D3DTA_TEXTURE;
        stage.colorArg2 = stage.alphaArg2 = plat::D3DTA_DIFFUSE;
        stage.texCoordIndex = kUnknownState;
    }
    device.stateChanged = 1;
    device.batch.kind = 1;
    device.batch.count = 0;
    device.batch.primitive = plat::D3DPT_TRIANGLELIST;
}

// A device made anew holds its own defaults, not what was sent to the one before it: the
// states each draw's plan sends only when they differ from the cache (alpha test and blend,
// their factors, the texture factor, the stages' operations) are forgotten, so that the next
// plan sends them all.
void ForgetPlannedStates(Device3DRecord& device) {
    for (uint32_t* cache : {&device.alphaTestEnable, &device.alphaRef, &device.alphaFunc,
                            &device.alphaBlendEnable, &device.textureFactor, &device.srcBlend,
                            &device.destBlend}) {
        *cache = kUnknownState;
    }
    for (TextureStageCache& stage : device.stages) {
        stage.colorOp = stage.colorArg1 = stage.colorArg2 = kUnknownState;
        stage.alphaOp = stage.alphaArg1 = stage.alphaArg2 = kUnknownState;
        stage.texCoordIndex = kUnknownState;
    }
    device.stateChanged = 1;
}

void SetAddressModeOnStages(plat::Direct3DDevice* device, uint32_t mode) {
    for (uint32_t stage = 0; stage < kTextureStageCount3D; ++stage) {
        device->SetTextureStageState(stage, plat::D3DTSS_ADDRESS, mode);
    }
}

void LogTextureFormat(const char* heading, int32_t first, int32_t second, bool withAlpha) {
    LogWrite(heading);
    char line[160];
    for (int32_t index : {first, second}) {
        const TextureFormatEntry& entry = GetDevice3DState().formats[index];
        const ColorFormat& f = entry.colorFormat.format;
        if (withAlpha) {
            std::snprintf(line, sizeof line, "\t\t BIT:%u  ALPHA:%u  RED:%u  GREEN:%u  BLUE:%u ",
                          f.bits, f.widthA, f.widthR, f.widthG, f.widthB);
            LogWrite(line);
            std::snprintf(line, sizeof line,
                          "\t\t ALPHA:%08x RED:%08x GREEN:%08x BLUE:%08x \n", f.maskA, f.maskR,
                          f.maskG, f.maskB);
        } else {
            std::snprintf(line, sizeof line, "\t\t BIT:%u  RED:%u  GREEN:%u  BLUE:%u ", f.bits,
                          f.widthR, f.widthG, f.widthB);
            LogWrite(line);
            std::snprintf(line, sizeof line, "\t\t RED:%06x GREEN:%06x BLUE:%06x \n", f.maskR,
                          f.maskG, f.maskB);
        }
        LogWrite(line);
    }
}

void CreateWorkTexture() {
    Device3DState& state = GetDevice3DState();
    state.workTexture = nullptr;
    if (state.deviceDesc.maxTextureBlendStages >= 4) return;
    plat::DirectDraw* dd = GetDirectDrawObject();
    plat::PixelFormat format = {};
    if (dd == nullptr || GetTextureFormat(kTexFormatAlphaTarget, &format) == nullptr) return;
    plat::SurfaceDesc desc = {};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_HEIGHT | plat::DDSD_WIDTH | plat::DDSD_PIXELFORMAT |
                 plat::DDSD_TEXTURESTAGE;
    desc.width = 256;
    desc.height = 256;
    desc.pixelFormat = format;
    desc.caps.caps = plat::DDSCAPS_TEXTURE | plat::DDSCAPS_3DDEVICE;
    desc.textureStage = 0;
    plat::DrawSurface* texture = nullptr;
    if (dd->CreateSurface(&desc, &texture) == plat::DD_OK) state.workTexture = texture;
}

// Start-up failed after the object was taken: devices and object go, Direct3D stays down.
int AbandonStart() {
    DeleteAllDevices3D();
    ReleaseWorkTexture();
    ReleaseDirect3DObjectOnly();
    GetDevice3DState().initialised = 0;
    return -1;
}

// Texture records' surfaces belong to the device's display: they go before a display change
// and are made again afterwards (their pixels come back with the graphs' restore).
void ForEachTextureSurface(bool make) { RemakeOrReleaseSurfaceDataSurfaces(true, make); }

int QueryDirect3DObject() {
    plat::DirectDraw* dd = GetDirectDrawObject();
    plat::Direct3D* d3d = nullptr;
    if (dd == nullptr || dd->QueryDirect3D(&d3d) != plat::DD_OK || d3d == nullptr) {
        LogWrite("Direct3Dオブジェクトの作成に失敗しました\n");
        return -1;
    }
    GetDevice3DState().direct3D = d3d;
    return 0;
}

}  // namespace

int InitDirect3D() {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D != nullptr) return -1;
    LogWrite("Direct3D 関連の初期化を行います\n");
    state.currentDevice = 0;
    state.deviceDesc = plat::DeviceDesc{};
    state.deviceGuid = plat::DeviceGuid{};
    state.minTextureSide = state.maxTextureSide = 0;
    std::memset(state.formats, 0, sizeof state.formats);
    state.zBufferFormat = plat::PixelFormat{};
    state.endSceneAfterEachDraw = 0;
    state.drawingSuppressed = 0;
    state.readbackSlots[0] = state.readbackSlots[1] = -1;
    state.workTexture = nullptr;
    state.initialised = 0;
    state.blendScaleU = state.blendScaleV = 0.0f;
    RefreshVertexColor();

    LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得します\n");
    if (QueryDirect3DObject() != 0) return -1;
    LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得しました\n");

    const int depth = GetSurfaceDisplayDepth();
    DeviceSearch search = {depth == 16 ? plat::DDBD_16 : depth == 32 ? plat::DDBD_32 : 0u, 0};
    state.direct3D->EnumDevices(AcceptDevice, &search);
    if (!search.found) {
        LogWrite("現在の画面モードで使用できる描画デバイスが見つかりませんでした\n");
        ReleaseDirect3DObjectOnly();
        return -1;
    }

    int zFound = 0;
    state.direct3D->EnumZBufferFormats(plat::IID_IDirect3DHALDevice, AcceptZBufferFormat,
                                       &zFound);
    if (!zFound) {
        LogWrite("使用可能なＺバッファが見つかりませんでした\n");
        return AbandonStart();
    }

    plat::DrawSurface* front = GetFrontSurface();
    const int index = CreateDevice3D(front);
    if (index < 0) return AbandonStart();
    state.currentDevice = index;
    Device3DRecord& device = state.devices[index];
    device.currentTarget = front;

    const uint32_t address = AddressModeSetting();
    for (int stage = kTextureStageCount3D - 1; stage >= 0; --stage) {
        const plat::DDResult result = device.device->SetTextureStageState(
            static_cast<uint32_t>(stage), plat::D3DTSS_ADDRESS, address);
        if (stage == 0 && result != plat::D3D_OK) return AbandonStart();
    }
    device.textureAddress = address;

    std::memset(state.formats, 0, sizeof state.formats);
    if (device.device->EnumTextureFormats(StoreOfferedTextureFormat, nullptr) != plat::D3D_OK ||
        FillEmptyTextureFormats() != 0) {
        LogWrite("使用可能なテクスチャフォーマットが見つかりませんでした\n");
        return AbandonStart();
    }

    state.endSceneAfterEachDraw = 1;
    const plat::DeviceDesc& desc = state.deviceDesc;
    uint32_t minSide = desc.minTextureWidth < desc.minTextureHeight ? desc.minTextureWidth
                                                                    : desc.minTextureHeight;
    uint32_t maxSide = desc.maxTextureWidth < desc.maxTextureHeight ? desc.maxTextureWidth
                                                                    : desc.maxTextureHeight;
    state.minTextureSide = minSide == 0 ? 32 : minSide;
    state.maxTextureSide = maxSide == 0 ? 256 : maxSide;
    LogFormat("テクスチャ最大幅:%u 最小幅:%u ", state.maxTextureSide, state.minTextureSide);
    LogFormat("描画制限: D_D3DPTEXTURECAPS_POW2 = %d  D_D3DPTEXTURECAPS_SQUAREONLY = %d ",
              (desc.triCaps.textureCaps & plat::D3DPTEXTURECAPS_POW2) != 0 ? 1 : 0,
              (desc.triCaps.textureCaps & plat::D3DPTEXTURECAPS_SQUAREONLY) != 0 ? 1 : 0);

    CreateWorkTexture();
    state.readbackSlots[0] = state.readbackSlots[1] = -1;
    state.drawingSuppressed = 0;

    LogIndentAdd();
    LogWrite("テクスチャピクセルフォーマット\n");
    LogTextureFormat("\t通常グラフィック用\n", kTexFormat16, kTexFormat32, false);
    LogTextureFormat("\tアルファチャンネル付きグラフィック用\n", kTexFormat16Alpha,
                     kTexFormat32Alpha, true);
    LogIndentSub();

    LogWrite("Direct3D 関連の初期化は正常に終了しました\n");
    state.initialised = 1;
    InstallDirect3DDrivers();
    return 0;
}

int TermDirect3D() {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D == nullptr && !state.initialised) return -1;
    LogWrite("Direct3D 関連の終了処理を行います\n");
    EndCurrentDeviceScene();
    state.endSceneAfterEachDraw = 0;
    SetDeviceTexture(state.currentDevice, nullptr);
    DeleteAllSurface3DData();
    DeleteAllDevices3D();
    ReleaseWorkTexture();
    ReleaseDirect3DObjectOnly();
    LogWrite("Direct3D 関連の終了処理は正常に終了しました\n");
    state.initialised = 0;
    RemoveDirect3DDrivers();
    return 0;
}

int CreateDevice3D(plat::DrawSurface* target) {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D == nullptr) return -1;
    int index = -1;
    for (int i = 0; i < kMaxDevices3D; ++i) {
        if (!state.devices[i].inUse) {
            index = i;
            break;
        }
    }
    if (index < 0) return -1;
    Device3DRecord& device = state.devices[index];
    std::memset(&device, 0, sizeof device);
    LogWrite("３Ｄデバイスを作成します... ");
    plat::Direct3DDevice* made = nullptr;
    if (state.direct3D->CreateDevice(state.deviceGuid, target, &made) != plat::D3D_OK ||
        made == nullptr) {
        LogWrite("３Ｄデバイスの作成に失敗しました\n");
        return -1;
    }
    device.device = made;
    device.creationTarget = target;
    device.currentTarget = target;
    PrepareVertexBuffers(device.batch);

    SetAddressModeOnStages(made, AddressModeSetting());
    for (uint32_t stage = 0; stage < kTextureStageCount3D; ++stage) {
        made->SetTextureStageState(stage, plat::D3DTSS_MAGFILTER, plat::D3DTFG_POINT);
        made->SetTextureStageState(stage, plat::D3DTSS_MINFILTER, plat::D3DTFN_POINT);
    }
    made->SetRenderState(plat::D3DRENDERSTATE_COLORKEYBLENDENABLE, 0);
    made->SetRenderState(plat::D3DRENDERSTATE_CULLMODE, plat::D3DCULL_NONE);
    made->SetRenderState(plat::D3DRENDERSTATE_LIGHTING, 0);
    made->SetRenderState(plat::D3DRENDERSTATE_TEXTUREPERSPECTIVE, 0);
    made->SetRenderState(plat::D3DRENDERSTATE_SHADEMODE, plat::D3DSHADE_FLAT);
    made->SetRenderState(plat::D3DRENDERSTATE_COLORKEYENABLE, 0);
    made->SetRenderState(plat::D3DRENDERSTATE_DITHERENABLE, 0);

    StartCaches(device);
    device.inUse = 1;

    const int32_t previous = state.currentDevice;
    state.currentDevice = index;
    ReapplyDeviceStates();
    state.currentDevice = previous;
    LogWrite("３Ｄデバイスの作成に成功しました\n");
    return index;
}

int RecreateDevice3D(int32_t index) {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D == nullptr || index < 0 || index >= kMaxDevices3D) return -1;
    Device3DRecord& device = state.devices[index];
    if (!device.inUse) return -1;
    if (device.device != nullptr) return 0;
    LogWrite("３Ｄデバイスを作成します... ");
    plat::Direct3DDevice* made = nullptr;
    if (state.direct3D->CreateDevice(state.deviceGuid, device.creationTarget, &made) !=
            plat::D3D_OK ||
        made == nullptr) {
        LogWrite("３Ｄデバイスの作成に失敗しました\n");
        return -1;
    }
    device.device = made;
    made->SetRenderState(plat::D3DRENDERSTATE_DITHERENABLE, 0);
    LogWrite("３Ｄデバイスの作成に成功しました\n");

    // The new device knows nothing: the target, every cached state and the stages are sent
    // again; no texture is set and nothing waits in the batch.
    device.stage0Texture = nullptr;
    for (TextureStageCache& stage : device.stages) stage.texture = nullptr;
    ForgetPlannedStates(device);
    device.batch.count = 0;
    device.inScene = 0;
    const int32_t previous = state.currentDevice;
    state.currentDevice = index;
    ReapplyDeviceStates();
    SetDeviceViewport(&GetDrawState().drawArea);
    state.currentDevice = previous;

    ForEachTextureSurface(true);
    return 0;
}

int ReleaseDirect3DObject() {
    Device3DState& state = GetDevice3DState();
    if (!state.initialised) return -1;
    if (state.currentDevice >= 0 && state.currentDevice < kMaxDevices3D) {
        Device3DRecord& device = state.devices[state.currentDevice];
        if (device.device != nullptr) {
            if (device.batch.count > 0) FlushCurrentDeviceVertices();
            ForEachTextureSurface(false);
            ReleaseDeviceObject(device);
            LogWrite("Ｄｉｒｅｃｔ３Ｄデバイスを削除しました\n");
        }
    }
    ReleaseWorkTexture();
    LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトを解放します\n");
    if (state.direct3D != nullptr) {
        ReleaseDirect3DObjectOnly();
        LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトを解放しました\n");
    } else {
        LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトは既に解放されています\n");
    }
    return 0;
}

int ReacquireDirect3DObject() {
    Device3DState& state = GetDevice3DState();
    if (!state.initialised) return 0;
    LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得します\n");
    if (state.direct3D != nullptr) {
        LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトは既に取得されています\n");
        return 0;
    }
    if (QueryDirect3DObject() != 0) return -1;
    LogWrite("Ｄｉｒｅｃｔ３Ｄオブジェクトは正常に取得されました\n");
    Device3DRecord& device = state.devices[state.currentDevice];
    // The screen's surfaces are new: the device starts on the front, and the draw target is
    // selected again by the screen afterwards.
    device.creationTarget = GetFrontSurface();
    device.currentTarget = device.creationTarget;
    CreateWorkTexture();
    return RecreateDevice3D(state.currentDevice);
}

int DeleteDevice3D(int32_t index) {
    Device3DState& state = GetDevice3DState();
    if (index < 0 || index >= kMaxDevices3D) return -1;
    Device3DRecord& device = state.devices[index];
    if (!device.inUse) return -1;
    ReleaseDeviceObject(device);
    std::memset(&device, 0, sizeof device);
    return 0;
}

int DeleteAllDevices3D() {
    for (int32_t i = 0; i < kMaxDevices3D; ++i) {
        if (DeleteDevice3D(i) == 0) LogWrite("３Ｄデバイスの削除は正常に終了しました\n");
    }
    return 0;
}
