// A slow reference model of the software kernels, written pixel by pixel and channel by
// channel from their formulas: divisions instead of tables, and the carry-masked add and
// subtract from their per-channel results instead of the word procedure. The differential
// tests compare every loop of the kernels with it.
#pragma once
#include <cstdint>
#include <optional>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// Which kernel's pixel rules a pixel is drawn by.
enum class RefKernel {
    Unscaled,  // BlitMemImg
    Scaled,    // the stretched blit's loops (and the triangle and rotation spans built on them)
};

// One source pixel as the rules see it.
struct RefSource {
    int format = 1;            // 0: 16-bit 5-6-5, 1: 32-bit
    bool paletted = false;
    bool alphaChannel = false;  // direct source with alpha channel
    uint32_t index = 0;        // palette index (paletted)
    uint32_t colour = 0;       // the colour: the direct pixel, or the palette entry
    uint32_t alpha = 0;        // alpha byte (alpha-channel sources)
    uint32_t colorKey = 0;
};

// The call-constant inputs of one pixel.
struct RefCall {
    int mode = 0;        // blend mode as stored in the draw state
    int param = 255;     // 0..255
    uint32_t bright = 0xFFFFFF;
    bool blendImage = false;
    uint32_t blendWeight = 0;  // BlendWeightMap[blend byte] of this pixel
    int transFlag = 0;
    int useMmx = 0;
};

// The source pixel (i, j) of an image as the reference rules see it (a paletted index past the
// palette's count reads colour 0).
RefSource ReferenceSourceAt(const MEMIMG* src, int64_t i, int64_t j);

// The call-constant inputs of a draw under the draw state's mode, parameter and bright.
RefCall ReferenceCallFor(const DrawState& state, int32_t transFlag, const MEMIMG* blend,
                         int useMmx);

// The destination pixel after drawing src onto d by the kernel's rules, or nothing when the
// call draws nothing (parameter exits) or the pixel is left out. The 16-bit unscaled add and
// subtract at parameter 255 (no blend image, white, no alpha channel) give the result of a
// pixel stepped alone here; pairs are ReferenceBlitMemImg's.
std::optional<uint32_t> ReferencePixel(RefKernel kernel, const RefSource& src, const RefCall& call,
                                       uint32_t d);

// BlitMemImg as the reference draws it, reading the draw state's mode, parameter, bright and
// draw area, BlendWeightMap, and useMmx for UseMmx.
void ReferenceBlitMemImg(MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y, int32_t transFlag,
                         const MEMIMG* blend, const DrawState& state, int useMmx);

// FillMemImgRect as the reference fills.
void ReferenceFillMemImgRect(MEMIMG* dst, const RECT* rect, uint32_t color,
                             const DrawState& state);

// The carry-masked operations from their per-channel descriptions (exposed for the tests of
// the word procedures). lowBits: the add keeps the operands' low bits (the scaled form).
uint32_t ReferenceCarryAdd32(uint32_t d, uint32_t t, bool lowBits);
uint32_t ReferenceCarrySub32(uint32_t d, uint32_t t);
uint32_t ReferenceSaturatingAdd565(uint32_t d, uint32_t e, bool lowBits);
uint32_t ReferenceSaturatingSub565(uint32_t d, uint32_t e);
