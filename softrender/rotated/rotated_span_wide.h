// The eight-pixel AVX2 runs of the rotated blit's copies (kBlendNone from a direct 16-bit or
// 32-bit source without alpha, blend image or bright, with or without colour key), compiled in a
// file of their own for AVX2. The line walk hands a run of inside pixels to one of these and
// finishes the run's last pixels itself.
#pragma once
#include <cstddef>
#include <cstdint>

// Draws the first (count / 8) * 8 pixels of a run that starts at destination pixel dst with
// source point (u, v) (14.18, stepped by stepU and stepV per pixel) and returns how many it
// drew. The source pixel of a point is at base + (v >> 18) * pitch + (u >> 18) * bytes per
// pixel; keyed runs leave out the pixels equal to key (the whole 32-bit key).
struct WideRotatedRun {
    const uint8_t* base;
    int32_t pitch;
    uint32_t stepU, stepV;
    uint32_t key;
    uint32_t first;  // the source's first pixel (16-bit runs)
};
using WideRotatedRunFn = int32_t (*)(uint8_t* dst, uint32_t u, uint32_t v, int32_t count,
                                     const WideRotatedRun& run);

struct WideRotatedCopies {
    WideRotatedRunFn copy;
    WideRotatedRunFn copyKeyed;
};

// The AVX2 runs for a direct source of the pixel format (0: 5-6-5, 1: 32-bit) and the given
// pixels, height and pitch, or null when the AVX2 steps are not active (WideStepsActive) or the
// source's byte offsets do not all fit 31 bits.
const WideRotatedCopies* FindWideRotatedCopies(int pixelFormat, const uint8_t* pixels,
                                               int32_t height, int32_t pitch);
