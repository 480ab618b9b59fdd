#include "tests/softrender/reference_model_scaled.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "softrender/rules/blend_tables.h"
#include "tests/softrender/reference_model.h"
#include "tests/softrender/reference_model_rotated.h"

bool ReferenceScaledLoopIsStrict(const MEMIMG* src, const DrawState& state, bool blendImage) {
    const bool white = (state.bright & 0xFFFFFFu) == 0xFFFFFFu;
    const bool alphaSource = !src->paletted && src->alpha;
    if (blendImage || !white || alphaSource) return false;
    const int mode = state.blendMode, p = state.blendParam;
    return mode == 0 || (mode == 1 && p == 255) || (mode == 3 && p == 255);
}

int64_t ReferenceScaledSample(int64_t d, int64_t firstDrawn, int64_t step, int64_t sourceSize,
                              bool strict, bool mirrored) {
    int64_t v = d * 65536 / step;
    if (strict && step < 0x10000 && d != firstDrawn && (d * 65536) % step == 0) --v;
    return mirrored ? sourceSize - 1 - v : v;
}

void ReferenceBlitMemImgScaled(MEMIMG* dst, const MEMIMG* src, const RECT& rect,
                               int32_t transFlag, const MEMIMG* blend, const DrawState& state,
                               int useMmx) {
    if (src->pixelFormat != dst->pixelFormat || dst->paletted || dst->alpha) return;
    const int format = src->pixelFormat;
    if (format != 0 && format != 1) return;
    int64_t left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
    const bool mirrorX = left > right, mirrorY = top > bottom;
    if (mirrorX) std::swap(left, right);
    if (mirrorY) std::swap(top, bottom);
    const int64_t w = right - left, h = bottom - top;
    if (w == 0 || h == 0) return;
    if (w == src->width && h == src->height && !mirrorX && !mirrorY) {
        ReferenceBlitMemImg(dst, src, static_cast<int32_t>(left), static_cast<int32_t>(top),
                            transFlag, blend, state, useMmx);
        return;
    }
    if (src->width <= 0 || src->height <= 0 || src->width > 65536 || src->height > 65536) return;
    if (blend != nullptr && (blend->width < src->width || blend->height < src->height)) return;
    const int64_t stepX = (w << 16) / src->width;
    const int64_t stepY = (h << 16) / src->height;

    const int64_t visLeft = std::max<int64_t>({left, state.drawArea.left, 0});
    const int64_t visTop = std::max<int64_t>({top, state.drawArea.top, 0});
    const int64_t visRight = std::min<int64_t>({right, state.drawArea.right, dst->width});
    const int64_t visBottom = std::min<int64_t>({bottom, state.drawArea.bottom, dst->height});
    if (visLeft >= visRight || visTop >= visBottom) return;

    const bool strict = ReferenceScaledLoopIsStrict(src, state, blend != nullptr);
    const int dstBytes = format == 1 ? 4 : 2;
    RefCall call = ReferenceCallFor(state, transFlag, blend, useMmx);
    for (int64_t y = visTop; y < visBottom; ++y) {
        const int64_t row =
            ReferenceScaledSample(y - top, visTop - top, stepY, src->height, strict, mirrorY);
        for (int64_t x = visLeft; x < visRight; ++x) {
            const int64_t column = ReferenceScaledSample(x - left, visLeft - left, stepX,
                                                         src->width, strict, mirrorX);
            if (blend != nullptr) {
                call.blendWeight = BlendWeightMap[blend->pixels[row * blend->pitch + column]];
            }
            uint8_t* px = dst->pixels + y * dst->pitch + x * dstBytes;
            uint32_t d = 0;
            std::memcpy(&d, px, dstBytes);
            const auto r =
                ReferencePixel(RefKernel::Scaled, ReferenceSourceAt(src, column, row), call, d);
            if (r) std::memcpy(px, &*r, dstBytes);
        }
    }
}
