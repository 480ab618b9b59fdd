#include "softrender/fill/fill_plan.h"

#include <utility>

#include "softrender/rules/draw_bounds.h"

namespace {

uint32_t ModulateColor(uint32_t color, int format, uint32_t bright) {
    const uint32_t br = (bright >> 16) & 0xFFu;
    const uint32_t bg = (bright >> 8) & 0xFFu;
    const uint32_t bb = bright & 0xFFu;
    if (format == MEMIMG_FORMAT_32) {
        const uint32_t r = (((color >> 16) & 0xFFu) * br) >> 8;
        const uint32_t g = (((color >> 8) & 0xFFu) * bg) >> 8;
        const uint32_t b = ((color & 0xFFu) * bb) >> 8;
        return (color & 0xFF000000u) | (r << 16) | (g << 8) | b;
    }
    const uint32_t r = (((color >> 11) & 0x1Fu) * br) >> 8;
    const uint32_t g = (((color >> 5) & 0x3Fu) * bg) >> 8;
    const uint32_t b = ((color & 0x1Fu) * bb) >> 8;
    return (r << 11) | (g << 5) | b;
}

}  // namespace

FillPlan PlanFillMemImgRect(const MEMIMG* dst, const RECT* rect, uint32_t color,
                            const KernelDrawState& state) {
    FillPlan plan;
    if (dst == nullptr || dst->pixels == nullptr) return plan;
    if (dst->paletted || dst->alpha) return plan;

    RECT area{0, 0, dst->width, dst->height};
    if (rect != nullptr) {
        area = *rect;
        if (area.left > area.right) std::swap(area.left, area.right);
        if (area.top > area.bottom) std::swap(area.top, area.bottom);
    }
    const RECT bound = DrawBoundsInImage(state.drawArea, *dst);
    ClipRectInPlace(&area, &bound);
    if (area.right == area.left || area.bottom == area.top) return plan;

    const int format = dst->pixelFormat;
    if (format != MEMIMG_FORMAT_565 && format != MEMIMG_FORMAT_32) return plan;
    // A 16-bit colour is one pixel: bits above 15 would reach the neighbour pixel of the
    // doubled store and index the tables out of range.
    if (format == MEMIMG_FORMAT_565) color &= 0xFFFFu;
    if ((state.bright & 0xFFFFFFu) != 0xFFFFFFu) color = ModulateColor(color, format, state.bright);

    if (!IsKernelBlendMode(state.blendMode)) return plan;
    const int32_t p = state.blendParam < 0 ? 0 : state.blendParam > 255 ? 255 : state.blendParam;
    const int effective = EffectiveBlendMode(state.blendMode, p);
    if ((effective == kBlendAlpha || effective == kBlendAdd || effective == kBlendSubtract) &&
        p == 0) {
        return plan;
    }

    plan.loop = FillLoopIndex(format, effective);
    plan.area = area;
    plan.color = color;
    return plan;
}
