#include "graphics/d3d/transform_state.h"

#include "graphics/drivers/device_3d_driver.h"
#include "graphics/graphs/graphics_state.h"

namespace {

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
        (void)Device3DSlot()->setDeviceTransform(kind, slot);
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
