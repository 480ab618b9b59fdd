#include "softrender/triangle/triangle_rasterizer.h"

#include <cstddef>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/rules/draw_bounds.h"
#include "softrender/rules/palette_scratch.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/triangle/triangle_plan.h"
#include "softrender/triangle/triangle_setup.h"
#include "softrender/triangle/triangle_spans.h"

void RasterizeMemImgTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t* vertices,
                             int32_t transFlag, const MEMIMG* blendImage, uint32_t colour,
                             const KernelDrawState& state) {
    if (vertices == nullptr) return;
    const MEMIMG* blend = src != nullptr ? blendImage : nullptr;
    const TriangleGroup group = SelectTriangleGroup(dst, src, blend);
    if (group == TriangleGroup::None) return;

    TriangleRun run{};
    if (SetUpTriangle(vertices, src != nullptr, &run.setup) != TriangleSetupResult::Ok) return;

    if (!IsKernelBlendMode(state.blendMode)) return;
    run.bound = DrawBoundsInImage(state.drawArea, *dst);
    if (run.bound.left >= run.bound.right || run.bound.top >= run.bound.bottom) return;

    run.dstPixels = dst->pixels;
    run.dstPitch = dst->pitch;
    run.blendParam = state.blendParam;
    run.bright = state.bright;
    run.transFlag = transFlag;
    if (src == nullptr) {
        run.context = MakePixelContext(state.bright, state.blendParam, 0);
        run.colour = PrepareFlatColour(dst->pixelFormat, colour, state.bright);
    } else {
        run.context = MakePixelContext(state.bright, state.blendParam, src->colorKey);
        run.srcPixels = src->pixels;
        run.srcPitch = src->pitch;
        run.widthBound = static_cast<uint32_t>(src->width) << 18;
        run.heightBound = static_cast<uint32_t>(src->height) << 18;
        run.sourceAlpha = !src->paletted && src->alpha;
        if (blend != nullptr) {
            run.blendPixels = blend->pixels;
            run.blendPitch = blend->pitch;
        }
        UsePaletteScratch(*src, &run.context);
    }
    const TriangleEntry entry = GetTriangleEntries(group)[state.blendMode];
    if (entry != nullptr) entry(run);
}
