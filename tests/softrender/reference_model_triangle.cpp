#include "tests/softrender/reference_model_triangle.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "softrender/rules/blend_tables.h"

namespace {

constexpr int64_t kOne = 262144;

bool Fits(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Division by 262144 truncating toward zero (C++ integer division does).
int64_t Whole(int64_t v) { return v / kOne; }

struct RefEdge {
    int64_t x, step, lines, startY;
};

struct RefTriangle {
    int64_t anchorX, anchorY, anchorU, anchorV;
    int64_t stepUx, stepUy, stepVx, stepVy;
    RefEdge left[2], right[2];
    int leftCount = 1, rightCount = 1;
};

// The exchange sort: positions i < j swap when the key at i is strictly greater.
void Sort(const int64_t* key, int* order) {
    for (int i = 0; i < 2; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (key[order[i]] > key[order[j]]) std::swap(order[i], order[j]);
        }
    }
}

bool MakeEdge(int64_t sx, int64_t sy, int64_t ex, int64_t ey, RefEdge* e) {
    e->x = sx;
    e->startY = sy;
    e->lines = Whole(ey - sy);
    if (e->lines == 0) return false;
    e->step = (ex - sx) / e->lines;
    return Fits(e->step);
}

bool SetUp(const int32_t* vtx, bool textured, RefTriangle* t) {
    int64_t X[3], Y[3], U[3], V[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = int64_t{vtx[4 * i]} * kOne + kOne / 2;
        Y[i] = int64_t{vtx[4 * i + 1]} * kOne + kOne / 2;
        U[i] = textured ? int64_t{vtx[4 * i + 2]} * kOne : 0;
        V[i] = textured ? int64_t{vtx[4 * i + 3]} * kOne : 0;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (const int64_t* a : {X, Y, U, V}) {
                if (!Fits(a[i]) || !Fits(a[i] - a[j])) return false;
            }
        }
    }
    int ox[3] = {0, 1, 2}, oy[3] = {0, 1, 2};
    Sort(X, ox);
    Sort(Y, oy);
    const int a = ox[0], b = ox[1], c = ox[2];
    const int64_t dxb = Whole(X[b] - X[a]), dxc = Whole(X[c] - X[a]);
    const int64_t dyb = Whole(Y[b] - Y[a]), dyc = Whole(Y[c] - Y[a]);
    const int64_t dub = Whole(U[b] - U[a]), duc = Whole(U[c] - U[a]);
    const int64_t dvb = Whole(V[b] - V[a]), dvc = Whole(V[c] - V[a]);
    const int64_t den = dyb * dxc - dyc * dxb;
    if (den == 0) return false;
    auto gradient = [&](int64_t num, int64_t* out) {
        const double g = static_cast<double>(num) * 262144.0 / static_cast<double>(den);
        if (!(g > -2147483649.0 && g < 2147483648.0)) return false;
        *out = static_cast<int64_t>(g);
        return true;
    };
    t->stepUx = t->stepUy = t->stepVx = t->stepVy = 0;
    if (textured && (!gradient(dyb * duc - dyc * dub, &t->stepUx) ||
                     !gradient(dub * dxc - dxb * duc, &t->stepUy) ||
                     !gradient(dyb * dvc - dvb * dyc, &t->stepVx) ||
                     !gradient(dvb * dxc - dvc * dxb, &t->stepVy))) {
        return false;
    }
    t->anchorX = Whole(X[a]);
    t->anchorY = Whole(Y[a]);
    t->anchorU = U[a];
    t->anchorV = V[a];

    const int top = oy[0], mid = oy[1], bot = oy[2];
    bool ok = true;
    if (Y[top] == Y[mid]) {
        const int l = X[mid] > X[top] ? top : X[top] > X[mid] ? mid : top;
        const int r = l == top ? mid : top;
        ok = MakeEdge(X[l], Y[l], X[bot], Y[bot], &t->left[0]) &&
             MakeEdge(X[r], Y[r], X[bot], Y[bot], &t->right[0]);
    } else if (Y[mid] == Y[bot]) {
        const int l = X[bot] < X[mid] ? bot : mid;
        const int r = l == mid ? bot : mid;
        ok = MakeEdge(X[top], Y[top], X[l], Y[l], &t->left[0]) &&
             MakeEdge(X[top], Y[top], X[r], Y[r], &t->right[0]);
    } else {
        const double A = static_cast<double>(X[mid] - X[top]) /
                         (static_cast<double>(Y[mid] - Y[top]) * 3.814697265625e-06);
        const double B = static_cast<double>(X[bot] - X[top]) /
                         (static_cast<double>(Y[bot] - Y[top]) * 3.814697265625e-06);
        if (B > A) {
            t->leftCount = 2;
            ok = MakeEdge(X[top], Y[top], X[mid], Y[mid], &t->left[0]) &&
                 MakeEdge(X[mid], Y[mid], X[bot], Y[bot], &t->left[1]) &&
                 MakeEdge(X[top], Y[top], X[bot], Y[bot], &t->right[0]);
        } else {
            t->rightCount = 2;
            ok = MakeEdge(X[top], Y[top], X[bot], Y[bot], &t->left[0]) &&
                 MakeEdge(X[top], Y[top], X[mid], Y[mid], &t->right[0]) &&
                 MakeEdge(X[mid] + 1, Y[mid], X[bot], Y[bot], &t->right[1]);
        }
    }
    return ok;
}

// Calls pixel(x, y) for every pixel the walk visits, in order.
template <typename Pixel>
void Walk(const RefTriangle& t, int64_t L, int64_t T, int64_t R, int64_t B, Pixel&& pixel) {
    int64_t y = Whole(t.left[0].startY);
    int ls = 0, rs = 0;
    int64_t lx = t.left[0].x, rx = t.right[0].x;
    int64_t ll = t.left[0].lines, rl = t.right[0].lines;
    for (;;) {
        int64_t xl = Whole(lx);
        const int64_t xr = Whole(rx);
        int64_t count = xr - xl + 1;
        if (xl < L) {
            count -= L - xl;
            xl = L;
        }
        if (!(y < T || y >= B || xl >= R || count <= 0)) {
            for (int64_t x = xl; x < xl + count && x < R; ++x) pixel(x, y);
        }
        lx += t.left[ls].step;
        rx += t.right[rs].step;
        ++y;
        --ll;
        --rl;
        if (ll == 0) {
            if (ls + 1 == t.leftCount) return;
            ++ls;
            lx = t.left[ls].x;
            ll = t.left[ls].lines;
            y = Whole(t.left[ls].startY);
        }
        if (rl == 0) {
            if (rs + 1 == t.rightCount) return;
            ++rs;
            rx = t.right[rs].x;
            rl = t.right[rs].lines;
        }
    }
}

}  // namespace

std::optional<uint32_t> ReferenceTrianglePixel(const RefSource& src, const RefCall& call,
                                               uint32_t d) {
    RefCall c = call;
    c.useMmx = 0;
    const bool alphaSource = !src.paletted && src.alphaChannel;
    if (c.mode < 0 || c.mode > 4) return std::nullopt;
    if (c.transFlag != 0 && !alphaSource && !src.paletted) {
        // Every direct loop compares the texel with the whole key.
        if (src.colour == src.colorKey) return std::nullopt;
        c.transFlag = 0;
    }
    if (c.transFlag != 0 && alphaSource && c.mode == 4 && src.alpha == 0) {
        c.transFlag = 0;  // alpha 0 takes the rule with alpha
    }
    // The scaled rules' full-parameter subtract equals the ProductTable form without packed
    // bytes, since ProductTable[255][v] = v.
    return ReferencePixel(RefKernel::Scaled, src, c, d);
}

void ReferenceRasterizeTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t* vertices,
                                int32_t transFlag, const MEMIMG* blend, uint32_t colour,
                                const DrawState& state) {
    if (src != nullptr && src->pixelFormat != dst->pixelFormat) return;
    if (dst->paletted || dst->alpha) return;
    const int format = dst->pixelFormat;
    if (format != 0 && format != 1) return;
    if (src == nullptr) blend = nullptr;
    if (src != nullptr && (src->width >= 16384 || src->height >= 16384)) return;
    if (blend != nullptr && (blend->width < src->width || blend->height < src->height)) return;
    RefTriangle t;
    if (!SetUp(vertices, src != nullptr, &t)) return;
    if (state.blendMode < 0 || state.blendMode > 4) return;

    const int64_t L = std::max<int64_t>(state.drawArea.left, 0);
    const int64_t T = std::max<int64_t>(state.drawArea.top, 0);
    const int64_t R = std::min<int64_t>(state.drawArea.right, dst->width);
    const int64_t B = std::min<int64_t>(state.drawArea.bottom, dst->height);
    const int dstBytes = format == 1 ? 4 : 2;

    if (src == nullptr) {
        // The colour through the bright's ProductTable rows (division by 255), then the
        // fill's rule pixel by pixel.
        uint32_t c;
        const uint32_t br = (state.bright >> 16) & 0xFF, bg = (state.bright >> 8) & 0xFF,
                       bb = state.bright & 0xFF;
        if (format == 0) {
            const uint32_t v = colour & 0xFFFF;
            c = (((v >> 11) * br / 255) << 11) | ((((v >> 5) & 0x3F) * bg / 255) << 5) |
                ((v & 0x1F) * bb / 255);
        } else {
            c = (colour & 0xFF000000u) | ((((colour >> 16) & 0xFF) * br / 255) << 16) |
                ((((colour >> 8) & 0xFF) * bg / 255) << 8) | ((colour & 0xFF) * bb / 255);
        }
        DrawState pixelState = state;
        pixelState.bright = 0xFFFFFF;
        pixelState.drawArea = RECT{0, 0, dst->width, dst->height};
        Walk(t, L, T, R, B, [&](int64_t x, int64_t y) {
            const RECT one{static_cast<int32_t>(x), static_cast<int32_t>(y),
                           static_cast<int32_t>(x + 1), static_cast<int32_t>(y + 1)};
            ReferenceFillMemImgRect(dst, &one, c, pixelState);
        });
        return;
    }

    RefCall call = ReferenceCallFor(state, transFlag, blend, 0);
    const uint32_t wBound = static_cast<uint32_t>(src->width) << 18;
    const uint32_t hBound = static_cast<uint32_t>(src->height) << 18;
    Walk(t, L, T, R, B, [&](int64_t x, int64_t y) {
        const uint32_t u = static_cast<uint32_t>(t.anchorU + (y - t.anchorY) * t.stepUy +
                                                 (x - t.anchorX) * t.stepUx);
        const uint32_t v = static_cast<uint32_t>(t.anchorV + (y - t.anchorY) * t.stepVy +
                                                 (x - t.anchorX) * t.stepVx);
        if (u >= wBound || v >= hBound) return;
        const int64_t col = u >> 18, row = v >> 18;
        const RefSource s = ReferenceSourceAt(src, col, row);
        if (blend != nullptr)
            call.blendWeight = BlendWeightMap[blend->pixels[row * blend->pitch + col]];
        uint8_t* q = dst->pixels + y * dst->pitch + x * dstBytes;
        uint32_t d = 0;
        std::memcpy(&d, q, dstBytes);
        if (const auto r = ReferenceTrianglePixel(s, call, d)) std::memcpy(q, &*r, dstBytes);
    });
}

void ReferenceDrawQuad(MEMIMG* dst, const MEMIMG* src, const int32_t* c, int32_t transFlag,
                       const MEMIMG* blend, const DrawState& state) {
    int64_t l = c[0], t = c[1], r = c[0], b = c[1];
    for (int i = 1; i < 4; ++i) {
        l = std::min<int64_t>(l, c[2 * i]);
        r = std::max<int64_t>(r, c[2 * i]);
        t = std::min<int64_t>(t, c[2 * i + 1]);
        b = std::max<int64_t>(b, c[2 * i + 1]);
    }
    // The box (2 more left and up, 4 more right and down) must overlap the draw area.
    const RECT& a = state.drawArea;
    if (std::max<int64_t>(l - 2, a.left) >= std::min<int64_t>(r + 4, a.right) ||
        std::max<int64_t>(t - 2, a.top) >= std::min<int64_t>(b + 4, a.bottom)) {
        return;
    }
    const int32_t w = src->width, h = src->height;
    const int32_t first[12] = {c[0], c[1], 0, 0, c[2], c[3], w, 0, c[4], c[5], 0, h};
    const int32_t second[12] = {c[2], c[3], w, 0, c[4], c[5], 0, h, c[6], c[7], w, h};
    ReferenceRasterizeTriangle(dst, src, first, transFlag, blend, 0, state);
    ReferenceRasterizeTriangle(dst, src, second, transFlag, blend, 0, state);
}
