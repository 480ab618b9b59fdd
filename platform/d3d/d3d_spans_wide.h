// Internal to the rasteriser's fast span loops: the eight-pixel (AVX2) run of the blended
// 32-bit loop, compiled for AVX2 in d3d_spans_wide_avx2.cpp and chosen at run time when the
// processor has it. It gives exactly the pixels of the four-pixel loop and of PutTexel
// (d3d_spans.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat::raster {

// What the blended 32-bit loop reads, fixed per triangle (the names as in the span loops).
struct WideBlendInputs {
    const uint8_t* texels;
    ptrdiff_t pitch;
    uint32_t alphaOr;               // 0xFF000000 when the texture has no alpha
    uint32_t keyLow, keyHigh;       // the colour key's range (keyed runs)
    uint32_t forceColor, forceAlpha;
    uint32_t mr, mg, mb, ma;        // the diffuse colour the texel is modulated by
    // The alpha test as a range (tested runs): alpha passes when
    // (alphaLow <= a <= alphaHigh) differs from alphaOutside.
    int alphaLow, alphaHigh;
    bool alphaOutside;
    // The registers the runs compare and combine with, made from the fields above once per
    // triangle by PrepareWideBlend (eight 32-bit lanes each).
    alignas(32) uint32_t lanes[12][8];
};

// Fills in.lanes from the other fields.
void PrepareWideBlend(WideBlendInputs* in);

// Draws the whole groups of eight pixels of the span of `count` X8R8G8B8 pixels from p, the
// texel coordinates starting at (u, v) and stepping (du, dv) per pixel, every texel index
// inside the texture; u and v are moved past the pixels drawn. Returns how many it drew (a
// multiple of eight); the caller draws the rest.
using WideBlendRun = int64_t (*)(const WideBlendInputs& in, int64_t* u, int64_t* v, int64_t du,
                                 int64_t dv, uint8_t* p, int64_t count);

// Draws a rectangle of `rows` rows of `count` X8R8G8B8 pixels from p, target rows targetPitch
// bytes apart: each row's first texel coordinates (u, v) moved by (rowDu, rowDv) from the
// row above, stepping (du, dv) per pixel; every texel index inside the texture.
using WideBlendRectangle = void (*)(const WideBlendInputs& in, int64_t u, int64_t v, int64_t du,
                                    int64_t dv, int64_t rowDu, int64_t rowDv, uint8_t* p,
                                    ptrdiff_t targetPitch, int64_t count, int64_t rows);

// The run for the loop's kind: keyed, modulated (else the texel's colour as it is, or forced),
// alpha-tested. Null when the processor lacks AVX2 or the wide runs are switched off.
WideBlendRun WideBlendRunFor(bool key, bool modulate, bool test);
// The same for whole rectangles (the axis-aligned quads drawn as such).
WideBlendRectangle WideBlendRectangleFor(bool key, bool modulate, bool test);

// Whether the processor has AVX2 (the wide runs can be used at all).
bool ProcessorHasWideRuns();

}  // namespace plat::raster
