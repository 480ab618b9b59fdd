// The view, projection and viewport forms of the Direct3D transforms, in the row-vector
// layout of Matrix4.
#pragma once
#include "graphics/d3d/matrix.h"

// Left-handed perspective projection with the vertical field of view fov (radians). With
// s, c the single-precision sine and cosine of fov / 2, cot = c / s and Q = far / (far - near):
// m[0][0] = (screen height / screen width) x cot, m[1][1] = cot, m[2][2] = Q, m[2][3] = 1,
// m[3][2] = -Q x near, everything else 0. The screen size is the current screen's (640 x 480
// when unset). Returns 0, or -1 leaving out unchanged when |far - near| < 0.01 or |s| < 0.01.
int BuildPerspectiveMatrix(Matrix4* out, float fov, float nearClip, float farClip);

// The same projection for an explicit screen size (the aspect is height / width); the form
// BuildPerspectiveMatrix uses once it knows the screen size.
int BuildPerspectiveMatrixForSize(Matrix4* out, float fov, float nearClip, float farClip,
                                  float screenWidth, float screenHeight);

// Maps projected coordinates (-1..1, y up) to the screen (y down): m[0][0] = width / 2,
// m[1][1] = -height / 2, m[2][2] = m[3][3] = 1, m[3][0] = x, m[3][1] = y, everything else 0.
// (x, y) is thus where the projected origin lands. Returns 0.
int BuildViewportMatrix(Matrix4* out, float x, float y, float width, float height);

// Left-handed camera at eye looking at at, with up giving the vertical: z = at - eye,
// x = normalise(up x z), y = normalise(z x x) from the unnormalised cross products, z
// normalised; the rows are (x.x, y.x, z.x, 0), (x.y, y.y, z.y, 0), (x.z, y.z, z.z, 0) and
// (-x.eye, -y.eye, -z.eye, 1). Lengths use the library's single-precision square root.
// Returns 0, or -1 with out untouched when eye is at at or up is zero or along the line of
// sight (no camera axes exist).
int BuildLookAtMatrix(Matrix4* out, const Vector3* eye, const Vector3* at, const Vector3* up);
