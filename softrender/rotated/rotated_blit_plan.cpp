#include "softrender/rotated/rotated_blit_plan.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "softrender/rules/draw_bounds.h"
#include "softrender/rotated/rotated_span_loops.h"
#include "base/number_routines.h"

namespace {

constexpr int kFractionBits = 18;
constexpr int64_t kOnePixel = int64_t{1} << kFractionBits;

bool Fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Truncation toward zero into 64 bits; false for values that are not finite or lie beyond
// 2^61 (so that sums of a few such values stay inside 64 bits).
bool TruncateTo64(double v, int64_t* out) {
    if (!(v > -2.3e18 && v < 2.3e18)) return false;
    *out = static_cast<int64_t>(v);
    return true;
}

// A sine or cosine in 14.18.
int32_t FixedTrig(float v) { return FloatToInt(v * 262144.0f); }

// A 14.18 value in whole pixels, rounded toward zero.
int64_t WholePixels(int64_t v) { return v / kOnePixel; }

int32_t ClampTo32(int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// The corners' box widened by `before` pixels to the left and top and `after` to the right and
// bottom, held inside the 32-bit range.
RECT CornerBox(const RotatedCorners& corners, int64_t before, int64_t after) {
    int64_t minX = corners.x[0], maxX = corners.x[0], minY = corners.y[0], maxY = corners.y[0];
    for (int i = 1; i < 4; ++i) {
        minX = corners.x[i] < minX ? corners.x[i] : minX;
        maxX = corners.x[i] > maxX ? corners.x[i] : maxX;
        minY = corners.y[i] < minY ? corners.y[i] : minY;
        maxY = corners.y[i] > maxY ? corners.y[i] : maxY;
    }
    return RECT{ClampTo32(minX - before), ClampTo32(minY - before), ClampTo32(maxX + after),
                ClampTo32(maxY + after)};
}

}  // namespace

bool TurnRotatedCorners(int32_t cx, int32_t cy, float angle, float scale, int32_t width,
                        int32_t height, RotatedCorners* corners) {
    float sinValue, cosValue;
    SinCosF(angle, &sinValue, &cosValue);
    const int32_t s2 = FixedTrig(sinValue);
    const int32_t c2 = FixedTrig(cosValue);

    // Half sizes and the four products, each rounded to float (14.18 units).
    const float hw = static_cast<float>(
        static_cast<double>(static_cast<uint32_t>(width)) * scale * 0.5);
    const float hh = static_cast<float>(
        static_cast<double>(static_cast<uint32_t>(height)) * scale * 0.5);
    const float a = static_cast<float>(c2) * hw;
    const float b = static_cast<float>(s2) * hw;
    const float c = static_cast<float>(c2) * hh;
    const float d = static_cast<float>(s2) * hh;

    // Each sum rounded to float, truncated, the centre added, then rounded toward zero.
    const float offsets[4][2] = {{-a + d, -c - b}, {a + d, b - c}, {-a - d, c - b}, {a - d, c + b}};
    RotatedCorners turned;
    for (int i = 0; i < 4; ++i) {
        int64_t ox, oy;
        if (!TruncateTo64(offsets[i][0], &ox) || !TruncateTo64(offsets[i][1], &oy)) return false;
        turned.x[i] = WholePixels(ox + int64_t{cx} * kOnePixel);
        turned.y[i] = WholePixels(oy + int64_t{cy} * kOnePixel);
    }
    turned.sine = s2;
    turned.cosine = c2;
    *corners = turned;
    return true;
}

bool GetRotatedCornerBox(int32_t cx, int32_t cy, float angle, float scale, int32_t width,
                         int32_t height, RECT* box) {
    RotatedCorners corners;
    if (!TurnRotatedCorners(cx, cy, angle, scale, width, height, &corners)) return false;
    *box = CornerBox(corners, 0, 0);
    return true;
}

RotatedBlitPlan PlanBlitMemImgRotated(const MEMIMG* dst, const MEMIMG* src, int32_t cx,
                                      int32_t cy, float angle, float scale, int32_t transFlag,
                                      int32_t turnFlag, const MEMIMG* blend,
                                      const KernelDrawState& state) {
    RotatedBlitPlan plan;
    if (dst == nullptr || src == nullptr || dst->pixels == nullptr || src->pixels == nullptr) {
        return plan;
    }
    if (src->pixelFormat != dst->pixelFormat || dst->paletted || dst->alpha) return plan;
    // A scale of 0 would collapse the image onto its centre pixel; a scale or angle that is not
    // finite has no image at all.
    if (!std::isfinite(scale) || scale == 0.0f || !std::isfinite(angle)) return plan;
    // The blend image is read at source coordinates over the whole source.
    if (blend != nullptr &&
        (blend->pixels == nullptr || blend->width < src->width || blend->height < src->height)) {
        return plan;
    }

    RotatedCorners corners;
    if (!TurnRotatedCorners(cx, cy, angle, scale, src->width, src->height, &corners)) {
        return plan;
    }
    // Trigonometry: (S2, C2) of the angle for the corners and the step along a line, (S1, C1)
    // of -angle for the inverse mapping. Sine is odd and cosine even, also as computed and
    // truncated, so the second pair follows from the first.
    const int32_t s2 = corners.sine;
    const int32_t c2 = corners.cosine;
    const int32_t s1 = -s2;
    const int32_t c1 = c2;
    const uint32_t width = static_cast<uint32_t>(src->width);
    const uint32_t height = static_cast<uint32_t>(src->height);

    if (turnFlag != 0) {
        // Top-right, top-left, bottom-right, bottom-left: mirrored left to right.
        const int order[4] = {1, 0, 3, 2};
        for (int i = 0; i < 4; ++i) {
            plan.quad[2 * i] = ClampTo32(corners.x[order[i]]);
            plan.quad[2 * i + 1] = ClampTo32(corners.y[order[i]]);
        }
        plan.draw = RotatedDraw::Mirrored;
        return plan;
    }

    plan.loop = SelectRotatedSpanLoop(src->pixelFormat, src->paletted != 0, src->alpha != 0,
                                      state.blendMode, state.blendParam, blend != nullptr,
                                      state.bright, transFlag);
    if (plan.loop < 0) return plan;
    if (src->width <= 0 || src->height <= 0 || src->width > kRotatedMaxSourceSide ||
        src->height > kRotatedMaxSourceSide) {
        return plan;
    }

    // Bounding box: 2 pixels of margin to the left and top, 4 to the right and bottom.
    RECT box = CornerBox(corners, 2, 4);
    const RECT bound = DrawBoundsInImage(state.drawArea, *dst);
    ClipRectInPlace(&box, &bound);
    if (box.left == box.right || box.top == box.bottom) return plan;

    // Inverse mapping: the destination point (cx, cy) maps to the source point
    // (width >> 1, height >> 1); each product with 1 / scale is rounded to float.
    const float invScale = 1.0f / scale;
    int64_t stepU, stepV, u0, v0, uBottom, vBottom;
    if (!TruncateTo64(static_cast<float>(c2) * invScale, &stepU) ||
        !TruncateTo64(static_cast<float>(s1) * invScale, &stepV)) {
        return plan;
    }
    const int64_t ox = int64_t{box.left} - cx;
    const int64_t oyTop = int64_t{box.top} - cy;
    const int64_t oyBottom = int64_t{box.bottom} - cy;
    auto mapU = [&](int64_t oy, int64_t* out) {
        return TruncateTo64(static_cast<float>(ox * c1 - oy * s1) * invScale, out);
    };
    auto mapV = [&](int64_t oy, int64_t* out) {
        return TruncateTo64(static_cast<float>(ox * s1 + oy * c1) * invScale, out);
    };
    if (!mapU(oyTop, &u0) || !mapV(oyTop, &v0) || !mapU(oyBottom, &uBottom) ||
        !mapV(oyBottom, &vBottom)) {
        return plan;
    }
    const int64_t centreU = int64_t{src->width >> 1} * kOnePixel;
    const int64_t centreV = int64_t{src->height >> 1} * kOnePixel;
    u0 += centreU;
    v0 += centreV;
    uBottom += centreU;
    vBottom += centreV;
    const int64_t lines = box.bottom - box.top;
    const int64_t lineU = (uBottom - u0) / lines;
    const int64_t lineV = (vBottom - v0) / lines;
    for (const int64_t v : {stepU, stepV, lineU, lineV}) {
        if (!Fits32(v)) return plan;
    }

    plan.draw = RotatedDraw::Spans;
    plan.box = box;
    plan.u0 = u0;
    plan.v0 = v0;
    plan.stepU = static_cast<int32_t>(stepU);
    plan.stepV = static_cast<int32_t>(stepV);
    plan.lineU = static_cast<int32_t>(lineU);
    plan.lineV = static_cast<int32_t>(lineV);
    plan.uLimit = width << kFractionBits;
    plan.vLimit = height << kFractionBits;
    return plan;
}
