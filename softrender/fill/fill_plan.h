// The per-call decisions of the rectangle fill (FillMemImgRect): refusals, the rectangle, the
// clipping, the colour after the bright, the parameter exits and the loop that fills.
// PlanFillMemImgRect is a pure function of its arguments; DescribeFillLoop says what each of
// the fill's loops does to a pixel, in the pixel rules every kernel shares, the colour
// taking the place of the source.
#pragma once
#include <cstdint>

#include "softrender/records/blend_mode.h"
#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"
#include "softrender/rules/pixel_loop.h"

// One loop per pixel format (0: 16-bit, 1: 32-bit) and effective blend mode.
constexpr int kFillLoopCount = 2 * kBlendModeCount;
constexpr int FillLoopIndex(int pixelFormat, int effectiveMode) {
    return pixelFormat * kBlendModeCount + effectiveMode;
}

struct FillPlan {
    int loop = -1;     // -1: nothing is filled
    RECT area{};       // the pixels filled
    uint32_t color = 0;  // the colour in the image's pixel form, after the bright
};

// Decides how FillMemImgRect(dst, rect, color) fills under the draw state. rect null means the
// whole image; otherwise its corners may come in any order. Nothing is filled when the image
// is paletted, has an alpha channel, has no pixels or is not 16-bit 5-6-5 or 32-bit, when the
// rectangle clipped to the draw area (limited to the image) is empty, when the blend mode is
// not a kernel mode, or when kBlendAlpha, kBlendAdd or kBlendSubtract has parameter 0.
//
// The colour: a 16-bit colour keeps its low 16 bits. Unless the bright is white it is
// modulated once, channel by channel, as channel * bright >> 8 (8-bit channels of a 32-bit
// colour, byte 3 kept; the 5- and 6-bit fields of a 16-bit colour).
FillPlan PlanFillMemImgRect(const MEMIMG* dst, const RECT* rect, uint32_t color,
                            const KernelDrawState& state);

// The fill's loops. kBlendAlpha at parameter 255 is the copy (kBlendNone). The 32-bit alpha fill is the
// shift-by-8 interpolation d + floor((c - d) * p / 256); the 16-bit one steps through
// SignedProductTable (trunc((c - d) * p / 255)). The add and subtract are always the
// carry-masked forms, whatever UseMmx says.
constexpr PixelLoop DescribeFillLoop(int index) {
    PixelLoop loop;
    if (index < 0 || index >= kFillLoopCount) return loop;
    loop.valid = true;
    loop.format = static_cast<int8_t>(index / kBlendModeCount);
    loop.source = SourceKind::Direct;
    loop.accept = Acceptance::All;
    switch (index % kBlendModeCount) {
        case kBlendNone:
            loop.rule.op = PixelOp::CopyWhole;
            break;
        case kBlendAlpha:
            loop.rule.op = loop.format == 1 ? PixelOp::Interpolate : PixelOp::DifferenceStep;
            loop.rule.param = loop.format == 1;
            break;
        case kBlendAdd:
            loop.rule.op = PixelOp::Add;
            loop.rule.param = true;
            break;
        case kBlendSubtract:
            loop.rule.op = PixelOp::Subtract;
            loop.rule.param = true;
            break;
        case kBlendMultiply:
            loop.rule.op = PixelOp::Multiply;
            break;
        case kBlendModeCount:  // not a mode
            break;
    }
    return loop;
}
