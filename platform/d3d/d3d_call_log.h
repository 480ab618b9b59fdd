// The record of the 3D device's call log, shared by the layer and its test controls
// (platform/testing/d3d_test_controls.h).
#pragma once
#include <cstdint>

#include "platform/d3d/d3d_types.h"

namespace plat {

// One call of the 3D layer as the log records it. The meaning of a, b and c by op:
//   "CreateDevice"          a: serial of the target surface (SurfaceSerial)
//   "BeginScene", "EndScene", "Release" (a device's last)   -
//   "SetRenderState"        a: state, b: value
//   "SetTextureStageState"  a: stage, b: state, c: value
//   "SetTexture"            a: stage, b: texture's serial (0: none)
//   "SetViewport"           a: x, b: y, c: width
//   "SetTransform"          a: type
//   "SetRenderTarget"       a: target's serial
//   "Clear"                 a: flags, b: colour, c: rectangle count
//   "DrawPrimitive"         a: primitive type, b: vertex format, c: vertex count
//   "DrawIndexedPrimitive"  a: primitive type, b: vertex format, c: index count
//   "Load"                  a: destination's serial, b: source's serial (0: none),
//                           c: pixels of the rectangle (0 when refused before it is known)
struct D3DCall {
    const char* op;
    uint32_t a, b, c;
    DDResult result;
};

}  // namespace plat
