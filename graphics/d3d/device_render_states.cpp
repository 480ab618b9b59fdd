// The cached render-state setters: a state goes to the device only when its value changes (or
// while the device is forced), after the waiting vertices were sent with the old one.
#include "graphics/d3d/device_internal.h"
#include "graphics/d3d/device.h"

int SetCachedRenderState(Device3DRecord* device, uint32_t state, uint32_t* cache,
                         uint32_t value) {
    if (device == nullptr || device->device == nullptr) return -1;
    if (!device->force && *cache == value) return 0;
    FlushDeviceVertices(device);
    if (device->device->SetRenderState(state, value) != plat::D3D_OK) return -1;
    *cache = value;
    return 0;
}

int SetCachedStageState(Device3DRecord* device, uint32_t stage, uint32_t state,
                        uint32_t* cache, uint32_t value) {
    if (device == nullptr || device->device == nullptr) return -1;
    if (!device->force && *cache == value) return 0;
    FlushDeviceVertices(device);
    if (device->device->SetTextureStageState(stage, state, value) != plat::D3D_OK) return -1;
    *cache = value;
    return 0;
}

int SetDeviceZEnable(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_ZENABLE, &device->zEnable, value);
}

int SetDeviceZWriteEnable(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_ZWRITEENABLE,
                                &device->zWriteEnable, value);
}

int SetDeviceZFunc(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_ZFUNC, &device->zFunc, value);
}

int SetDeviceCullMode(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_CULLMODE, &device->cullMode, value);
}

int SetDeviceShadeMode(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_SHADEMODE, &device->shadeMode,
                                value);
}

int SetDeviceTexturePerspective(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_TEXTUREPERSPECTIVE,
                                &device->texturePerspective, value);
}

int SetDeviceColorKeyEnable(uint32_t value) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return SetCachedRenderState(device, plat::D3DRENDERSTATE_COLORKEYENABLE,
                                &device->colorKeyEnable, value);
}

int SetDeviceRenderTarget(plat::DrawSurface* target) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr || target == nullptr) return -1;
    if (!device->force && device->currentTarget == target) return 0;
    FlushDeviceVertices(device);
    if (device->device->SetRenderTarget(target, 0) != plat::D3D_OK) return -1;
    device->currentTarget = target;
    return 0;
}

int ReapplyDeviceStates() {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    device->force = 1;
    SetDeviceRenderTarget(device->currentTarget != nullptr ? device->currentTarget
                                                           : device->creationTarget);
    SetDeviceZEnable(device->zEnable);
    SetDeviceZWriteEnable(device->zWriteEnable);
    SetDeviceZFunc(device->zFunc);
    SetDeviceCullMode(device->cullMode);
    SetDeviceShadeMode(device->shadeMode);
    SetDeviceTexturePerspective(device->texturePerspective);
    SetDeviceColorKeyEnable(device->colorKeyEnable);
    SetCachedRenderState(device, plat::D3DRENDERSTATE_LIGHTING, &device->lighting,
                         device->lighting);
    for (uint32_t stage = 0; stage < kTextureStageCount3D; ++stage) {
        device->device->SetTextureStageState(stage, plat::D3DTSS_ADDRESS,
                                             device->textureAddress);
    }
    ApplyFilterToStages(device, kTextureStageCount3D);
    if (device->viewport.width > 0 && device->viewport.height > 0) {
        device->device->SetViewport(&device->viewport);
    }
    device->stateChanged = 1;
    ApplyTextureStageStates(GetDevice3DState().currentDevice);
    device->force = 0;
    return 0;
}
