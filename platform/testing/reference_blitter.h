// A reference blitter for benchmarks: SDL2's software surface blitter run over pixel buffers
// that the caller owns. It exists only so that the benchmarks can measure the library's own
// kernels against the blitter a user would otherwise pick; neither the library nor the game
// draws through it.
#pragma once
#include <cstdint>

namespace plat {

// The pixel layouts the reference blitter understands.
enum class ReferencePixelLayout {
    Xrgb8888,  // 32-bit 0x00RRGGBB, the fourth byte ignored
    Argb8888,  // 32-bit 0xAARRGGBB with per-pixel alpha
    Rgb565,    // 16-bit 5-6-5
    Index8,    // one palette index per pixel (source only)
};

struct ReferenceImage {
    void* pixels;
    int width;
    int height;
    int pitch;  // bytes from one row to the next
    ReferencePixelLayout layout;
    const uint32_t* palette;  // Index8: 256 colours as 0x00RRGGBB
};

// How the source is combined with the destination.
enum class ReferenceBlend {
    Copy,        // plain copy
    ColorKey,    // copy, leaving out pixels equal to the colour key
    AlphaMod,    // constant opacity (alphaMod) over the destination
    PixelAlpha,  // the source's own alpha over the destination
    Add,         // saturating add
    Modulate,    // destination multiplied by the source
};

struct ReferenceBlit;

// Prepares a blit of the whole source onto the destination; null when SDL refuses the
// layouts. colorKey is a pixel value in the source's layout (ColorKey only); alphaMod 0..255
// (AlphaMod only).
ReferenceBlit* CreateReferenceBlit(const ReferenceImage& source, const ReferenceImage& dest,
                                   ReferenceBlend blend, uint32_t colorKey, uint8_t alphaMod);
// Draws the source with its top-left pixel at (x, y). 0, or -1 when SDL reports a failure.
int RunReferenceBlit(ReferenceBlit* blit, int x, int y);
// Draws the whole source stretched or shrunk onto the rectangle of width × height at (x, y)
// (SDL's nearest-pixel scaled blit; it does not mirror). 0, or -1 when SDL reports a failure.
int RunReferenceBlitScaled(ReferenceBlit* blit, int x, int y, int width, int height);
void DestroyReferenceBlit(ReferenceBlit* blit);

// Fills the whole destination with a pixel value (the peer of a plain rectangle fill).
int ReferenceFill(const ReferenceImage& dest, uint32_t value);

}  // namespace plat
