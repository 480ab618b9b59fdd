// What the back end's own files share: the cached render-state send and the filter of the
// stages in use. Not for other modules.
#pragma once
#include <cstdint>

#include "graphics/d3d/device.h"

// A cache value no setter sends: the first set of such a state always reaches the device.
constexpr uint32_t kUnknownDeviceState = 0xFFFFFFFF;

// Sends state = value to the device unless the cache holds it already (and the device is not
// forced); flushes the batch first. 0 or -1.
int SetCachedRenderState(Device3DRecord* device, uint32_t state, uint32_t* cache,
                         uint32_t value);
// Sets a stage state through its cache (same rule).
int SetCachedStageState(Device3DRecord* device, uint32_t stage, uint32_t state,
                        uint32_t* cache, uint32_t value);
// Sends the device's filter to stages 0..count-1 (at least stage 0).
void ApplyFilterToStages(Device3DRecord* device, int32_t count);
// Sends a device's batch (see FlushCurrentDeviceVertices).
int FlushDeviceVertices(Device3DRecord* device);
