// What graph management and the draw state tell the Direct3D device. The device's module
// supplies the driver; without it Direct3D is not in use and there is nothing to tell.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "graphics/d3d/matrix.h"
#include "softrender/records/rect.h"

struct GraphRecord;

struct Device3DDriver {
    // Starts Direct3D for graph management; 1 when it is in use, else 0.
    int (*startDirect3D)();
    // Hands the blend mode, parameter and bright to the device.
    void (*refreshDeviceColorState)();
    // Tells the device of the blend graph and its border values.
    void (*setDeviceBlendGraph)(HandleValue graph, int32_t borderParam, int32_t borderRange);
    // Sets the device viewport to the draw area; 0 or -1.
    int (*setDeviceViewport)(const RECT* area);
    // Hands the texture sampling mode to the device.
    void (*setDeviceSampleFilter)(int32_t mode);
    // 1 when the current device is usable.
    int (*isCurrentDeviceReady)();
    // Ends the current device's scene if one is open.
    void (*endCurrentDeviceScene)();
    // Makes the target the device's render target; 0 or -1.
    int (*selectDeviceRenderTarget)(HandleValue target);
    // Resets the transforms for a new draw target: a camera on the target's centre at the
    // given distance with the given field of view (radians) and clip distances.
    void (*resetTargetTransforms)(float width, float height, float distance, float fieldOfView,
                                  float nearClip, float farClip);
    // Tells the device that mask drawing was switched on or off: while it is on, the device
    // renders into the mask screen instead of the draw target. 0 or -1.
    int (*setMaskRenderTarget3D)(int32_t maskOn);
    // Sets a transform of the current device (kind: 1 world, 2 view, 3 projection); 0 or -1.
    int (*setDeviceTransform)(int32_t kind, const Matrix4* matrix);
    // Copies (x1, y1, x2, y2) of the draw screen into a texture graph (its top-left on the
    // graph's (0, 0)); screenSizeFlag 0 on a window drawn onto the primary reads desktop
    // coordinates. 0 or -1.
    int (*captureScreenToGraph3D)(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                  const GraphRecord* graph, int32_t screenSizeFlag);
    // Clears the draw target when it is a texture graph (its pixels in its textures, and its
    // Z buffer): the device's part of the clear of the current draw target. 0 or -1.
    int (*clearTextureTarget)();
};

extern const Device3DDriver kAbsentDevice3D;
DriverSlot<Device3DDriver>& Device3DSlot();
