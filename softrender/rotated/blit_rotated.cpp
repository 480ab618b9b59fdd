#include "softrender/rotated/blit_rotated.h"

#include <cstddef>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/rules/palette_scratch.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/triangle/quad_draw.h"
#include "softrender/rotated/rotated_blit_plan.h"
#include "softrender/rotated/rotated_span_table.h"
#include "softrender/rotated/rotated_span_wide.h"

namespace {

// Start of each source row and of each blend-image row, for the rows the source has.
const uint8_t* SourceRowTable[kRotatedMaxSourceSide];
const uint8_t* BlendRowTable[kRotatedMaxSourceSide];

}  // namespace

void BlitMemImgRotated(MEMIMG* dst, const MEMIMG* src, int32_t cx, int32_t cy, float angle,
                       float scale, int32_t transFlag, int32_t turnFlag,
                       const MEMIMG* blendImage, const KernelDrawState& state) {
    const RotatedBlitPlan plan = PlanBlitMemImgRotated(dst, src, cx, cy, angle, scale, transFlag,
                                                       turnFlag, blendImage, state);
    if (plan.draw == RotatedDraw::Mirrored) {
        DrawMemImgQuad(dst, src, plan.quad, transFlag, blendImage, state);
        return;
    }
    if (plan.draw != RotatedDraw::Spans) return;
    const RotatedSpanFn loop = FindRotatedSpanLoop(plan.loop);
    if (loop == nullptr) return;

    for (int32_t row = 0; row < src->height; ++row) {
        SourceRowTable[row] = src->pixels + static_cast<ptrdiff_t>(row) * src->pitch;
    }
    if (blendImage != nullptr) {
        for (int32_t row = 0; row < src->height; ++row) {
            BlendRowTable[row] = blendImage->pixels + static_cast<ptrdiff_t>(row) * blendImage->pitch;
        }
    }

    const int dstBytes = dst->pixelFormat == MEMIMG_FORMAT_32 ? 4 : 2;
    RotatedSpan span;
    span.dst = dst->pixels + static_cast<ptrdiff_t>(plan.box.top) * dst->pitch +
               static_cast<ptrdiff_t>(plan.box.left) * dstBytes;
    span.dstPitch = dst->pitch;
    span.width = plan.box.right - plan.box.left;
    span.height = plan.box.bottom - plan.box.top;
    span.u0 = plan.u0;
    span.v0 = plan.v0;
    span.stepU = plan.stepU;
    span.stepV = plan.stepV;
    span.lineU = plan.lineU;
    span.lineV = plan.lineV;
    span.uLimit = plan.uLimit;
    span.vLimit = plan.vLimit;
    span.sourceRows = SourceRowTable;
    span.blendRows = BlendRowTable;
    span.context = MakePixelContext(state.bright, state.blendParam, src->colorKey);
    span.wideCopies = !src->paletted ? FindWideRotatedCopies(src->pixelFormat, src->pixels,
                                                             src->height, src->pitch)
                                     : nullptr;
    span.sourcePitch = src->pitch;
    UsePaletteScratch(*src, &span.context);
    loop(span);
}
