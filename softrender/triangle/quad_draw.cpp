#include "softrender/triangle/quad_draw.h"

#include <algorithm>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/rect.h"
#include "softrender/triangle/triangle_rasterizer.h"

int QuadReachesDrawArea(const int32_t* corners, const RECT& drawArea) {
    // In 64 bits, so that corners near the 32-bit limits cannot wrap.
    int64_t left = corners[0], top = corners[1], right = corners[0], bottom = corners[1];
    for (int i = 1; i < 4; ++i) {
        left = std::min<int64_t>(left, corners[2 * i]);
        right = std::max<int64_t>(right, corners[2 * i]);
        top = std::min<int64_t>(top, corners[2 * i + 1]);
        bottom = std::max<int64_t>(bottom, corners[2 * i + 1]);
    }
    auto clamp32 = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    RECT box{clamp32(left - 2), clamp32(top - 2), clamp32(right + 4), clamp32(bottom + 4)};
    ClipRectInPlace(&box, &drawArea);
    return box.left != box.right && box.top != box.bottom ? 1 : 0;
}

void DrawMemImgQuad(MEMIMG* dst, const MEMIMG* src, const int32_t* corners, int32_t transFlag,
                    const MEMIMG* blendImage, const KernelDrawState& state) {
    if (dst == nullptr || src == nullptr || corners == nullptr) return;
    int32_t c[8];
    std::copy(corners, corners + 8, c);
    if (!QuadReachesDrawArea(c, state.drawArea)) return;
    const int32_t w = src->width;
    const int32_t h = src->height;
    const int32_t first[12] = {c[0], c[1], 0, 0, c[2], c[3], w, 0, c[4], c[5], 0, h};
    const int32_t second[12] = {c[2], c[3], w, 0, c[4], c[5], 0, h, c[6], c[7], w, h};
    RasterizeMemImgTriangle(dst, src, first, transFlag, blendImage, 0, state);
    RasterizeMemImgTriangle(dst, src, second, transFlag, blendImage, 0, state);
}
