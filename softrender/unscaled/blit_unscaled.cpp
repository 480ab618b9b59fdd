#include "softrender/unscaled/blit_unscaled.h"

#include <cstddef>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/unscaled/blit_plan.h"
#include "softrender/unscaled/blit_unscaled_table.h"
#include "softrender/unscaled/blit_unscaled_wide.h"
#include "softrender/rules/palette_scratch.h"
#include "softrender/rules/pixel_context.h"

namespace {

// BlendWeightMap spread over a pixel's colour lanes for the AVX2 steps, filled by the calls
// with a blend image that run them.
alignas(32) uint64_t WeightLaneScratch[256];

}  // namespace

void BlitMemImg(MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y, int32_t transFlag,
                const MEMIMG* blendImage, const KernelDrawState& state) {
    const BlitPlan plan = PlanBlitMemImg(dst, src, x, y, transFlag, blendImage, state, UseMmx);
    const UnscaledBlitLoopFn loop = FindUnscaledBlitLoop(plan.loop);
    if (loop == nullptr) return;

    const int srcBytes = MemImgBytesPerPixel(src->pixelFormat, src->paletted, src->alpha);
    const int dstBytes = src->pixelFormat == MEMIMG_FORMAT_32 ? 4 : 2;
    BlitRun run;
    run.width = plan.area.right - plan.area.left;
    run.height = plan.area.bottom - plan.area.top;
    run.src = src->pixels + static_cast<ptrdiff_t>(plan.sourceY) * src->pitch +
              static_cast<ptrdiff_t>(plan.sourceX) * srcBytes;
    run.srcPitch = src->pitch;
    run.dst = dst->pixels + static_cast<ptrdiff_t>(plan.area.top) * dst->pitch +
              static_cast<ptrdiff_t>(plan.area.left) * dstBytes;
    run.dstPitch = dst->pitch;
    run.blend = nullptr;
    run.blendPitch = 0;
    if (blendImage != nullptr) {
        run.blend = blendImage->pixels + static_cast<ptrdiff_t>(plan.sourceY) * blendImage->pitch +
                    plan.sourceX;
        run.blendPitch = blendImage->pitch;
    }
    run.context = MakePixelContext(state.bright, state.blendParam, src->colorKey);
    run.wideRow = FindWideUnscaledRow32(plan.loop);
    if (run.wideRow != nullptr && blendImage != nullptr) {
        for (int i = 0; i < 256; ++i) WeightLaneScratch[i] = uint64_t{BlendWeightMap[i]} * 0x000100010001u;
        run.context.weightLanes = WeightLaneScratch;
    }
    UsePaletteScratch(*src, &run.context);
    loop(run);
}
