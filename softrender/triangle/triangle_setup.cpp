#include "softrender/triangle/triangle_setup.h"

#include <cstdint>
#include <utility>

namespace {

bool Fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Whole-pixel division of a 64-bit 14.18 value, truncating toward zero.
int64_t Whole(int64_t v) { return v / kFixedOne; }

// The exchange sort of the vertex orders: position i and j swap when key i is strictly
// greater, so equal keys keep no fixed order (keys 5, 5, 1 give 2, 1, 0).
void SortOrder(const int64_t* key, int* order) {
    for (int i = 0; i < 2; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (key[order[i]] > key[order[j]]) std::swap(order[i], order[j]);
        }
    }
}

// A gradient of 14.18 texels per pixel: numerator * 262144 / den truncated toward zero, or
// false when it leaves 32 bits.
bool Gradient(int64_t numerator, int64_t den, int32_t* out) {
    const double g = static_cast<double>(numerator) * 262144.0 / static_cast<double>(den);
    if (!(g > -2147483649.0 && g < 2147483648.0)) return false;
    *out = static_cast<int32_t>(g);
    return true;
}

// An edge from start to end; *fits becomes false when its step leaves 32 bits (only a start
// one unit right of a vertex 8192 pixels away can make one).
TriangleEdge MakeEdge(int64_t startX, int64_t startY, int64_t endX, int64_t endY, bool* fits) {
    TriangleEdge e;
    const int64_t lines = Whole(endY - startY);
    e.x = static_cast<int32_t>(startX);
    e.lines = static_cast<int32_t>(lines);
    const int64_t step = lines != 0 ? (endX - startX) / lines : 0;
    if (!Fits32(step)) *fits = false;
    e.step = static_cast<int32_t>(step);
    e.startLine = Trunc18(static_cast<int32_t>(startY));
    return e;
}

}  // namespace

TriangleSetupResult SetUpTriangle(const int32_t* vertices, bool textured, TriangleSetup* out) {
    TriangleSetup t;
    int64_t X[3], Y[3], U[3], V[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = static_cast<int64_t>(vertices[4 * i]) * kFixedOne + kFixedHalf;
        Y[i] = static_cast<int64_t>(vertices[4 * i + 1]) * kFixedOne + kFixedHalf;
        U[i] = textured ? static_cast<int64_t>(vertices[4 * i + 2]) * kFixedOne : 0;
        V[i] = textured ? static_cast<int64_t>(vertices[4 * i + 3]) * kFixedOne : 0;
    }
    // Every value and every difference of two vertices' values must fit 32 bits.
    for (int i = 0; i < 3; ++i) {
        if (!Fits32(X[i]) || !Fits32(Y[i]) || !Fits32(U[i]) || !Fits32(V[i])) {
            return TriangleSetupResult::OutOfRange;
        }
        const int j = (i + 1) % 3;
        if (!Fits32(X[i] - X[j]) || !Fits32(Y[i] - Y[j]) || !Fits32(U[i] - U[j]) ||
            !Fits32(V[i] - V[j])) {
            return TriangleSetupResult::OutOfRange;
        }
    }

    SortOrder(X, t.orderX);
    SortOrder(Y, t.orderY);

    // Gradients from the X order a, b, c.
    const int a = t.orderX[0], b = t.orderX[1], c = t.orderX[2];
    const int64_t dxb = Whole(X[b] - X[a]), dxc = Whole(X[c] - X[a]);
    const int64_t dyb = Whole(Y[b] - Y[a]), dyc = Whole(Y[c] - Y[a]);
    const int64_t den = dyb * dxc - dyc * dxb;
    if (den == 0) return TriangleSetupResult::Collinear;
    if (textured) {
        const int64_t dub = Whole(U[b] - U[a]), duc = Whole(U[c] - U[a]);
        const int64_t dvb = Whole(V[b] - V[a]), dvc = Whole(V[c] - V[a]);
        if (!Gradient(dyb * duc - dyc * dub, den, &t.stepUx) ||
            !Gradient(dub * dxc - dxb * duc, den, &t.stepUy) ||
            !Gradient(dyb * dvc - dvb * dyc, den, &t.stepVx) ||
            !Gradient(dvb * dxc - dvc * dxb, den, &t.stepVy)) {
            return TriangleSetupResult::OutOfRange;
        }
        t.anchorU = static_cast<int32_t>(U[a]);
        t.anchorV = static_cast<int32_t>(V[a]);
    }
    t.anchorX = Trunc18(static_cast<int32_t>(X[a]));
    t.anchorY = Trunc18(static_cast<int32_t>(Y[a]));

    // Edges from the Y order.
    bool fits = true;
    const int top = t.orderY[0], mid = t.orderY[1], bottom = t.orderY[2];
    if (Y[top] == Y[mid]) {
        // Flat top: the top vertex with the greater X starts the right side; on equal X the
        // first of the Y order is left.
        int ls = top, rs = mid;
        if (X[top] > X[mid]) std::swap(ls, rs);
        t.left[0] = MakeEdge(X[ls], Y[ls], X[bottom], Y[bottom], &fits);
        t.right[0] = MakeEdge(X[rs], Y[rs], X[bottom], Y[bottom], &fits);
    } else if (Y[mid] == Y[bottom]) {
        // Flat bottom: of mid and bottom the smaller X ends the left side; on equal X, mid.
        int le = mid, re = bottom;
        if (X[mid] > X[bottom]) std::swap(le, re);
        t.left[0] = MakeEdge(X[top], Y[top], X[le], Y[le], &fits);
        t.right[0] = MakeEdge(X[top], Y[top], X[re], Y[re], &fits);
    } else {
        constexpr double kPixelsPerUnit = 3.814697265625e-06;  // 2^-18
        const double slopeMid = static_cast<double>(X[mid] - X[top]) /
                                (static_cast<double>(Y[mid] - Y[top]) * kPixelsPerUnit);
        const double slopeLong = static_cast<double>(X[bottom] - X[top]) /
                                 (static_cast<double>(Y[bottom] - Y[top]) * kPixelsPerUnit);
        if (slopeLong > slopeMid) {
            // The middle vertex lies left of the long edge.
            t.left[0] = MakeEdge(X[top], Y[top], X[mid], Y[mid], &fits);
            t.left[1] = MakeEdge(X[mid], Y[mid], X[bottom], Y[bottom], &fits);
            t.leftSegments = 2;
            t.right[0] = MakeEdge(X[top], Y[top], X[bottom], Y[bottom], &fits);
        } else {
            // On the right: the lower segment starts one 14.18 unit right of the vertex.
            t.left[0] = MakeEdge(X[top], Y[top], X[bottom], Y[bottom], &fits);
            t.right[0] = MakeEdge(X[top], Y[top], X[mid], Y[mid], &fits);
            t.right[1] = MakeEdge(X[mid] + 1, Y[mid], X[bottom], Y[bottom], &fits);
            t.rightSegments = 2;
        }
    }
    for (int i = 0; i < t.leftSegments; ++i) {
        if (t.left[i].lines == 0) return TriangleSetupResult::EmptyEdge;
    }
    for (int i = 0; i < t.rightSegments; ++i) {
        if (t.right[i].lines == 0) return TriangleSetupResult::EmptyEdge;
    }
    if (!fits) return TriangleSetupResult::OutOfRange;
    t.firstLine = t.left[0].startLine;
    *out = t;
    return TriangleSetupResult::Ok;
}
