// The vertex batch of a device and its scenes: draws append triangles, and the batch goes to
// the device as one DrawPrimitive when a state, the texture, the vertex kind or the primitive
// changes, when it is full, or at a flush point.
#include "graphics/d3d/device_internal.h"
#include "graphics/d3d/device.h"
#include "graphics/drivers/window_facts_driver.h"

namespace {

struct VertexKindInfo {
    uint32_t format;
    int32_t capacity;
    int32_t stride;
};

VertexKindInfo KindInfo(int32_t kind) {
    switch (kind) {
        case 0: return {kPlainVertexFormat, kPlainVertexCapacity, sizeof(PlainVertex)};
        case 2: return {kBlendTexVertexFormat, kBlendTexVertexCapacity, sizeof(BlendTexVertex)};
        default: return {kTexVertexFormat, kTexVertexCapacity, sizeof(TexVertex)};
    }
}

void* KindBuffer(VertexBatch& batch) {
    switch (batch.kind) {
        case 0: return batch.plain;
        case 2: return batch.blendTex;
        default: return batch.tex;
    }
}

int BeginScene(Device3DRecord* device) {
    if (device->inScene) return 0;
    if (device->device->BeginScene() != plat::D3D_OK) return -1;
    device->inScene = 1;
    return 0;
}

}  // namespace

int FlushDeviceVertices(Device3DRecord* device) {
    if (device == nullptr || device->device == nullptr) return -1;
    VertexBatch& batch = device->batch;
    if (batch.count > 0 && !WindowFactsSlot()->isQuitRequested() && !device->nothingVisible &&
        BeginScene(device) == 0) {
        device->device->DrawPrimitive(batch.primitive, KindInfo(batch.kind).format,
                                      KindBuffer(batch), static_cast<uint32_t>(batch.count), 0);
    }
    batch.count = 0;
    return 0;
}

int FlushCurrentDeviceVertices() { return FlushDeviceVertices(CurrentDevice3DRecord()); }

int BeginDeviceScene() {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    return BeginScene(device);
}

int EndCurrentDeviceScene() {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    if (!device->inScene) return 0;
    FlushDeviceVertices(device);
    device->device->EndScene();
    device->inScene = 0;
    return 0;
}

void* AppendDeviceVertices(Device3DRecord* device, int32_t count) {
    if (device == nullptr || device->device == nullptr || count <= 0) return nullptr;
    VertexBatch& batch = device->batch;
    const VertexKindInfo info = KindInfo(batch.kind);
    if (count > info.capacity) return nullptr;
    if (batch.count > 0 && (batch.primitive != plat::D3DPT_TRIANGLELIST ||
                            batch.count + count > info.capacity)) {
        FlushDeviceVertices(device);
    }
    batch.primitive = plat::D3DPT_TRIANGLELIST;
    BeginScene(device);
    char* start = static_cast<char*>(KindBuffer(batch)) +
                  static_cast<size_t>(batch.count) * static_cast<size_t>(info.stride);
    batch.count += count;
    return start;
}
