// How the rest of graphics reaches the Direct3D device (graphics/d3d/), which sits above it and
// is there only while it runs; no other graphics file includes the device's headers. The
// screen starts and ends it through Device3DStartDriver, and graph management and the draw
// state tell it their changes through Device3DDriver (both here). The device's other drivers:
// its texture and Z formats (device_format_driver.h), texture graphs' surfaces (TextureSlot in
// graph_surface_driver.h) and their pixels (texture_piece_access_driver.h), and the texture
// graph draws (GraphDraw3DDriver in graphics/draw_graph/graph_draw_drivers.h). Without the
// device the absent instances answer as a library that draws without Direct3D.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphRecord;

// The device's start and end around the screen's surfaces. The library's start-up installs the
// device's instance before the screen opens; without it no device starts (the screen draws
// without Direct3D) and there is none to end, release or take back.
struct Device3DStartDriver {
    // Starts Direct3D on the screen's surfaces; 0, or -1 when it cannot be used.
    int (*startDevice)();
    // Ends Direct3D and deletes its devices and texture pieces; 0, or -1 when it was not up.
    int (*endDevice)();
    // Before the screen's surfaces are made again: releases the device and the Direct3D
    // object, keeping the device's settings; 0, or -1 when Direct3D is not up.
    int (*releaseDeviceObjects)();
    // After they were made again: takes the Direct3D object back and makes the device again on
    // the new front surface; 0 (also when Direct3D is not up), or -1.
    int (*reacquireDeviceObjects)();
};

extern const Device3DStartDriver kAbsentDevice3DStart;
DriverSlot<Device3DStartDriver>& Device3DStartSlot();

// What graph management and the draw state tell the device. The device's module installs its
// instance while Direct3D is up; without it Direct3D is not in use and there is nothing to
// tell.
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
