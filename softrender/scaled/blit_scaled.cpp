#include "softrender/scaled/blit_scaled.h"

#include <cstddef>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "softrender/rules/palette_scratch.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/scaled/scaled_blit_plan.h"
#include "softrender/scaled/scaled_blit_table.h"

namespace {

// The source columns of a strip of destination pixels (scaled_blit_walk.h).
int32_t ColumnTable[kScaledColumnStrip];

}  // namespace

void BlitMemImgScaled(MEMIMG* dst, const MEMIMG* src, const RECT& rect, int32_t transFlag,
                      const MEMIMG* blendImage, const KernelDrawState& state) {
    const ScaledBlitPlan plan =
        PlanBlitMemImgScaled(dst, src, rect, transFlag, blendImage, state, UseMmx);
    if (plan.draw == ScaledDraw::Unscaled) {
        BlitMemImg(dst, src, plan.area.left, plan.area.top, transFlag, blendImage, state);
        return;
    }
    if (plan.draw != ScaledDraw::Stepped) return;
    const ScaledBlitFn loop = FindScaledBlitLoop(plan.loop);
    if (loop == nullptr) return;

    const int srcBytes = MemImgBytesPerPixel(src->pixelFormat, src->paletted, src->alpha);
    const int dstBytes = dst->pixelFormat == MEMIMG_FORMAT_32 ? 4 : 2;
    // The first column and row read, counted from the far side when mirrored.
    const int32_t column = plan.mirrorX ? src->width - 1 - plan.sourceColumn : plan.sourceColumn;
    const int32_t row = plan.mirrorY ? src->height - 1 - plan.sourceRow : plan.sourceRow;

    ScaledRun run;
    run.dst = dst->pixels + static_cast<ptrdiff_t>(plan.area.top) * dst->pitch +
              static_cast<ptrdiff_t>(plan.area.left) * dstBytes;
    run.dstPitch = dst->pitch;
    run.width = plan.area.right - plan.area.left;
    run.height = plan.area.bottom - plan.area.top;
    run.src = src->pixels + static_cast<ptrdiff_t>(row) * src->pitch +
              static_cast<ptrdiff_t>(column) * srcBytes;
    run.srcColumnStep = plan.mirrorX ? -srcBytes : srcBytes;
    run.srcRowStep = plan.mirrorY ? -static_cast<ptrdiff_t>(src->pitch) : src->pitch;
    run.blend = nullptr;
    run.blendColumnStep = 0;
    run.blendRowStep = 0;
    if (blendImage != nullptr) {
        run.blend = blendImage->pixels + static_cast<ptrdiff_t>(row) * blendImage->pitch + column;
        run.blendColumnStep = plan.mirrorX ? -1 : 1;
        run.blendRowStep = plan.mirrorY ? -static_cast<ptrdiff_t>(blendImage->pitch)
                                        : blendImage->pitch;
    }
    run.stepX = plan.stepX;
    run.stepY = plan.stepY;
    run.accumulatorX = plan.accumulatorX;
    run.accumulatorY = plan.accumulatorY;
    run.columns = ColumnTable;
    run.context = MakePixelContext(state.bright, state.blendParam, src->colorKey);
    UsePaletteScratch(*src, &run.context);
    loop(run);
}
