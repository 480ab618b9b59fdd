#include "softrender/unscaled/blit_unscaled.h"

#include <cstddef>
#include <cstring>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/unscaled/blit_plan.h"
#include "softrender/unscaled/blit_unscaled_table.h"
#include "softrender/unscaled/blit_unscaled_wide.h"
#include "softrender/rules/pixel_context.h"

namespace {

// A paletted source's palette, copied before the loop runs: 256 entries of 4 bytes (32-bit
// sources) or 2 bytes (16-bit sources).
union PaletteScratchTable {
    uint32_t entries32[256];
    uint16_t entries16[256];
};
alignas(16) PaletteScratchTable PaletteScratch;

// BlendWeightMap spread over a pixel's colour lanes for the AVX2 steps, filled by the calls
// with a blend image that run them.
alignas(32) uint64_t WeightLaneScratch[256];

}  // namespace

void CopyPaletteToScratch(void* scratch, const void* palette, int32_t count, int entryBytes) {
    const int32_t n = count < 0 ? 0 : count > 256 ? 256 : count;
    const size_t used = static_cast<size_t>(n) * static_cast<size_t>(entryBytes);
    if (palette != nullptr && used > 0) {
        std::memcpy(scratch, palette, used);
    } else {
        // No palette to read: every entry is colour 0.
        std::memset(scratch, 0, used);
    }
    std::memset(static_cast<uint8_t*>(scratch) + used, 0, 256u * entryBytes - used);
}

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
    if (src->paletted) {
        if (src->pixelFormat == MEMIMG_FORMAT_32) {
            CopyPaletteToScratch(PaletteScratch.entries32, src->palette, src->paletteCount, 4);
            run.context.palette32 = PaletteScratch.entries32;
        } else {
            CopyPaletteToScratch(PaletteScratch.entries16, src->palette, src->paletteCount, 2);
            run.context.palette16 = PaletteScratch.entries16;
        }
    }
    loop(run);
}
