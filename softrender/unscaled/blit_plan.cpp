#include "softrender/unscaled/blit_plan.h"

#include <cstdint>

#include "softrender/rules/draw_bounds.h"

BlitPlan PlanBlitMemImg(const MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y,
                        int32_t transFlag, const MEMIMG* blend, const KernelDrawState& state,
                        int32_t useMmx) {
    BlitPlan plan;
    if (dst == nullptr || src == nullptr || dst->pixels == nullptr || src->pixels == nullptr) {
        return plan;
    }
    if (src->pixelFormat != dst->pixelFormat || dst->paletted || dst->alpha) return plan;
    const int format = src->pixelFormat;
    if (format != MEMIMG_FORMAT_565 && format != MEMIMG_FORMAT_32) return plan;
    // The blend image is read at source coordinates over the whole source.
    if (blend != nullptr &&
        (blend->pixels == nullptr || blend->width < src->width || blend->height < src->height)) {
        return plan;
    }

    // The source rectangle on the destination, in 64 bits so that the far edges cannot wrap.
    const int64_t right = static_cast<int64_t>(x) + (src->width > 0 ? src->width : 0);
    const int64_t bottom = static_cast<int64_t>(y) + (src->height > 0 ? src->height : 0);
    if (right > INT32_MAX || bottom > INT32_MAX) return plan;
    RECT area{x, y, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    const RECT bound = DrawBoundsInImage(state.drawArea, *dst);
    ClipRectInPlace(&area, &bound);
    if (area.right == area.left || area.bottom == area.top) return plan;

    // Mode handlers: parameter exits first.
    const int32_t mode = state.blendMode;
    if (!IsKernelBlendMode(mode)) return plan;
    const int32_t p = state.blendParam < 0 ? 0 : state.blendParam > 255 ? 255 : state.blendParam;
    LoopKey key;
    key.format = format;
    key.mode = EffectiveBlendMode(mode, p);
    if ((mode == kBlendAlpha || mode == kBlendAdd || mode == kBlendSubtract) && p == 0) return plan;

    key.blend = blend != nullptr;
    key.bright = (state.bright & 0xFFFFFFu) != 0xFFFFFFu;
    key.source = src->paletted  ? SourceKind::Paletted
                 : src->alpha   ? SourceKind::DirectAlpha
                                : SourceKind::Direct;
    // A paletted source compares its index (0..255) with the whole key: a key above 255
    // matches no pixel, so such a call draws as if no key were asked for.
    key.key = transFlag != 0 && !(key.source == SourceKind::Paletted && src->colorKey > 255u);

    if (!key.blend && !key.bright && key.source != SourceKind::DirectAlpha) {
        const bool packedAllowed = useMmx != 0 && format == MEMIMG_FORMAT_32;
        if (key.mode == kBlendAlpha && p == 128) {
            key.special = packedAllowed && key.source == SourceKind::Direct ? LoopSpecial::Packed
                                                                            : LoopSpecial::Shortcut;
        } else if ((key.mode == kBlendAdd || key.mode == kBlendSubtract) && p == 255) {
            key.special = packedAllowed ? LoopSpecial::Packed : LoopSpecial::Shortcut;
        }
    }

    plan.loop = EncodeLoopKey(key);
    plan.area = area;
    plan.sourceX = area.left - x;
    plan.sourceY = area.top - y;
    return plan;
}
