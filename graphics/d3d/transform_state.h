// The transforms kept for the draw target: world, view, projection and viewport matrices. The
// setters store a matrix and, while Direct3D is in use, hand it to the current device.
#pragma once
#include <cstdint>

#include "graphics/d3d/matrix.h"

// Which device transform a matrix is for (the Direct3D transform-state numbers).
enum TransformKind : int32_t {
    kTransformWorld = 1,
    kTransformView = 2,
    kTransformProjection = 3,
};

struct TransformState {
    Matrix4 world;
    Matrix4 view;
    Matrix4 projection;
    Matrix4 viewport;
};

TransformState& GetTransformState();
// Sets all four matrices to the identity without telling the device.
void ResetTransformState();

// Copy the 16 values into the transform state; while Direct3D is in use the matrix also goes
// to the current device (a refusal there is not reported). Return 0; -1 for a null matrix,
// which changes nothing.
int SetWorldMatrix(const Matrix4* matrix);
int SetViewMatrix(const Matrix4* matrix);
int SetProjectionMatrix(const Matrix4* matrix);
