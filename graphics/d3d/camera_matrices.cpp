#include "graphics/d3d/camera_matrices.h"

#include <cmath>
#include <cstdint>

#include "base/number_routines.h"
#include "graphics/drivers/screen_driver.h"

namespace {

void ClearMatrix(Matrix4* out) {
    for (auto& row : out->m) {
        for (float& value : row) value = 0.0f;
    }
}

Vector3 Subtract(const Vector3& a, const Vector3& b) {
    return Vector3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Divides by the single-precision length; a zero-length vector stays zero.
Vector3 Normalise(const Vector3& v) {
    const float length = SqrtFloat(Dot(v, v));
    if (length == 0.0f) return v;
    return Vector3{v.x / length, v.y / length, v.z / length};
}

}  // namespace

int BuildPerspectiveMatrixForSize(Matrix4* out, float fov, float nearClip, float farClip,
                                  float screenWidth, float screenHeight) {
    float s = 0.0f, c = 0.0f;
    SinCosF(fov * 0.5f, &s, &c);
    const float range = farClip - nearClip;
    if (std::fabs(range) < 0.01f || std::fabs(s) < 0.01f) return -1;

    const float cot = c / s;
    const float q = farClip / range;
    ClearMatrix(out);
    out->m[0][0] = (screenHeight / screenWidth) * cot;
    out->m[1][1] = cot;
    out->m[2][2] = q;
    out->m[2][3] = 1.0f;
    out->m[3][2] = -q * nearClip;
    return 0;
}

int BuildPerspectiveMatrix(Matrix4* out, float fov, float nearClip, float farClip) {
    int32_t width = 0, height = 0;
    GetScreenSize(&width, &height);  // 640 x 480 for an unset size
    return BuildPerspectiveMatrixForSize(out, fov, nearClip, farClip, static_cast<float>(width),
                                         static_cast<float>(height));
}

int BuildViewportMatrix(Matrix4* out, float x, float y, float width, float height) {
    ClearMatrix(out);
    out->m[0][0] = width * 0.5f;
    out->m[1][1] = height * -0.5f;
    out->m[2][2] = 1.0f;
    out->m[3][3] = 1.0f;
    out->m[3][0] = x;
    out->m[3][1] = y;
    return 0;
}

int BuildLookAtMatrix(Matrix4* out, const Vector3* eye, const Vector3* at, const Vector3* up) {
    const Vector3 zRaw = Subtract(*at, *eye);
    const Vector3 xRaw = Cross(*up, zRaw);
    const Vector3 yRaw = Cross(zRaw, xRaw);
    // No line of sight, or an up along it, leaves no camera axes: refuse without writing.
    if (Dot(zRaw, zRaw) == 0.0f || Dot(xRaw, xRaw) == 0.0f) return -1;
    const Vector3 x = Normalise(xRaw);
    const Vector3 y = Normalise(yRaw);
    const Vector3 z = Normalise(zRaw);

    out->m[0][0] = x.x; out->m[0][1] = y.x; out->m[0][2] = z.x; out->m[0][3] = 0.0f;
    out->m[1][0] = x.y; out->m[1][1] = y.y; out->m[1][2] = z.y; out->m[1][3] = 0.0f;
    out->m[2][0] = x.z; out->m[2][1] = y.z; out->m[2][2] = z.z; out->m[2][3] = 0.0f;
    out->m[3][0] = -Dot(x, *eye);
    out->m[3][1] = -Dot(y, *eye);
    out->m[3][2] = -Dot(z, *eye);
    out->m[3][3] = 1.0f;
    return 0;
}
