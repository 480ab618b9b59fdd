// The back end's one state block, the lookups of the current device and the device vertex
// colour.
#include <cstring>

#include "graphics/d3d/device.h"
#include "graphics/graphs/draw_state_record.h"

Device3DState& GetDevice3DState() {
    // Zero-initialised; the fields that start otherwise are set by InitDirect3D.
    static Device3DState state;
    return state;
}

void ResetDevice3DState() {
    Device3DState& state = GetDevice3DState();
    std::memset(&state, 0, sizeof state);
    state.readbackSlots[0] = state.readbackSlots[1] = -1;
    state.vertexColor = 0xFFFFFFFF;
}

int Direct3DIsUp() { return GetDevice3DState().direct3D != nullptr ? 1 : 0; }

Device3DRecord* CurrentDevice3DRecord() {
    Device3DState& state = GetDevice3DState();
    if (state.direct3D == nullptr) return nullptr;
    if (state.currentDevice < 0 || state.currentDevice >= kMaxDevices3D) return nullptr;
    Device3DRecord& device = state.devices[state.currentDevice];
    if (!device.inUse || device.device == nullptr) return nullptr;
    return &device;
}

plat::Direct3DDevice* GetCurrentDevice3D() {
    Device3DRecord* device = CurrentDevice3DRecord();
    return device != nullptr ? device->device : nullptr;
}

int BlendModeBlends(int32_t mode) {
    return mode != kBlendNone && mode != 6 && mode != 7 ? 1 : 0;
}

void RefreshVertexColor() {
    const DrawState& draw = GetDrawState();
    const uint32_t alpha =
        draw.blendMode != kBlendNone ? static_cast<uint32_t>(draw.blendParam & 0xFF) : 0xFFu;
    GetDevice3DState().vertexColor = (alpha << 24) | (draw.bright & 0xFFFFFF);
}

uint32_t GetDeviceVertexColor() { return GetDevice3DState().vertexColor; }
