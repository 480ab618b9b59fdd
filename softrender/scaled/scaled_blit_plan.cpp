#include "softrender/scaled/scaled_blit_plan.h"

#include <cstdint>
#include <utility>

#include "softrender/rules/draw_bounds.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/scaled/scaled_pixel_loops.h"

namespace {

int32_t ClampTo32(int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

}  // namespace

ScaledBlitPlan PlanBlitMemImgScaled(const MEMIMG* dst, const MEMIMG* src, const RECT& rect,
                                    int32_t transFlag, const MEMIMG* blend,
                                    const KernelDrawState& state, int32_t useMmx) {
    ScaledBlitPlan plan;
    if (dst == nullptr || src == nullptr || dst->pixels == nullptr || src->pixels == nullptr) {
        return plan;
    }
    if (src->pixelFormat != dst->pixelFormat || dst->paletted || dst->alpha) return plan;
    if (src->pixelFormat != MEMIMG_FORMAT_565 && src->pixelFormat != MEMIMG_FORMAT_32) return plan;

    // Corners in order; a reversed pair mirrors its axis.
    int64_t left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
    plan.mirrorX = left > right;
    plan.mirrorY = top > bottom;
    if (plan.mirrorX) std::swap(left, right);
    if (plan.mirrorY) std::swap(top, bottom);
    const int64_t width = right - left;
    const int64_t height = bottom - top;
    if (width == 0 || height == 0) return plan;

    if (width == src->width && height == src->height && !plan.mirrorX && !plan.mirrorY) {
        plan.draw = ScaledDraw::Unscaled;
        plan.area = RECT{static_cast<int32_t>(left), static_cast<int32_t>(top),
                         static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
        return plan;
    }

    // A source wider than 65536 pixels could make a step of 0 and let the last destination
    // pixels read past its last column.
    if (src->width <= 0 || src->height <= 0 || src->width > kScaledMaxSourceSide ||
        src->height > kScaledMaxSourceSide) {
        return plan;
    }
    // The blend image is read at source coordinates over the whole source.
    if (blend != nullptr &&
        (blend->pixels == nullptr || blend->width < src->width || blend->height < src->height)) {
        return plan;
    }
    const SourceKind source = src->paletted ? SourceKind::Paletted
                              : src->alpha  ? SourceKind::DirectAlpha
                                            : SourceKind::Direct;
    plan.loop = SelectScaledPixelLoop(src->pixelFormat, source, state.blendMode,
                                      state.blendParam, blend != nullptr, state.bright,
                                      transFlag, useMmx);
    if (plan.loop < 0) return plan;

    plan.stepX = (width << 16) / src->width;
    plan.stepY = (height << 16) / src->height;

    RECT area{ClampTo32(left), ClampTo32(top), ClampTo32(right), ClampTo32(bottom)};
    const RECT bound = DrawBoundsInImage(state.drawArea, *dst);
    ClipRectInPlace(&area, &bound);
    if (area.left == area.right || area.top == area.bottom) return plan;

    const int64_t offsetX = (int64_t{area.left} - left) << 16;
    const int64_t offsetY = (int64_t{area.top} - top) << 16;
    plan.sourceColumn = static_cast<int32_t>(offsetX / plan.stepX);
    plan.sourceRow = static_cast<int32_t>(offsetY / plan.stepY);
    plan.accumulatorX = plan.stepX - offsetX % plan.stepX;
    plan.accumulatorY = plan.stepY - offsetY % plan.stepY;
    plan.area = area;
    plan.draw = ScaledDraw::Stepped;
    return plan;
}
