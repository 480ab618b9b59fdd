#include "graphics/d3d/transform_state.h"

#include <cstring>

#include "graphics/d3d/device.h"
#include "graphics/graphs/graphics_state.h"

namespace {

// Sets the transform of the current device; a refusal (or no device) is not reported.
void SetDeviceTransform(TransformKind kind, const Matrix4* matrix) {
    plat::Direct3DDevice* device = GetCurrentDevice3D();
    if (device == nullptr) return;
    plat::Matrix out;
    static_assert(sizeof out == sizeof *matrix);
    std::memcpy(&out, matrix, sizeof out);
    (void)device->SetTransform(static_cast<plat::TransformStateType>(kind), &out);
}

TransformState MakeIdentityState() {
    TransformState state;
    SetIdentityMatrix(&state.world);
    SetIdentityMatrix(&state.view);
    SetIdentityMatrix(&state.projection);
    SetIdentityMatrix(&state.viewport);
    return state;
}

int StoreTransform(Matrix4* slot, TransformKind kind, const Matrix4* matrix) {
    if (matrix == nullptr) return -1;
    *slot = *matrix;
    if (GetGraphicsState().direct3DInUse) {
        SetDeviceTransform(kind, slot);
    }
    return 0;
}

}  // namespace

TransformState& GetTransformState() {
    static TransformState state = MakeIdentityState();
    return state;
}

void ResetTransformState() { GetTransformState() = MakeIdentityState(); }

int SetWorldMatrix(const Matrix4* matrix) {
    return StoreTransform(&GetTransformState().world, kTransformWorld, matrix);
}

int SetViewMatrix(const Matrix4* matrix) {
    return StoreTransform(&GetTransformState().view, kTransformView, matrix);
}

int SetProjectionMatrix(const Matrix4* matrix) {
    return StoreTransform(&GetTransformState().projection, kTransformProjection, matrix);
}
