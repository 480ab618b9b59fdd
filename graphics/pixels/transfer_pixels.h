// TransferPixels: the one routine that moves a rectangle of pixels from one buffer into another
// whose layout may differ. Decoded images go into software images and surfaces, software
// images into locked surfaces, the software back screen into a screen of another format,
// readbacks into textures.
//
// The source is read through its format (an 8-bit source through its palette: each entry read
// as a 32-bit value B, G, R, reserved, decoded with the format's masks) and written through the
// destination's. The rules, in the order they are chosen:
//
// 1. Both formats 8 bits per pixel: indices are copied; the result is the highest index
//    written (0 when none), so that the caller can set its palette count to it + 1.
// 2. Raw transfer (option A, used for raw 8-bit and 16-bit software images): each pixel's raw
//    value is copied, cut to the destination's pixel size.
// 3. An 8-bit destination fed from a source of another size: -1.
// 4. Same bits per pixel and the same four masks: pixels are copied unchanged.
// 5. Otherwise every pixel is converted channel by channel. A channel of source width w
//    becomes destination width w + d by (v << d) + v × (2^d − 1) / (2^w − 1) (so 5-bit 31
//    becomes 8-bit 255), or width w − d by v >> d: in dither mode 1 plus 1 when the d dropped
//    bits exceed (m × (2^d − 1)) >> 4, m being the entry of the 4 × 4 matrix
//    0 8 2 10 / 12 4 14 6 / 3 11 1 9 / 15 7 13 5 at the destination pixel's (y mod 4, x mod 4);
//    in dither mode 2 the dropped bits are carried into the same channel of the next pixel
//    of the row (in source order); the result is held at the channel's maximum. A channel
//    absent from the source reads 0. Alpha, when the destination has it: the source's alpha
//    when it has one; else, with an alpha image, that image's alpha (or, when it has none,
//    its blue channel as the grey level); else, with key to alpha (and option B clear), 0 for
//    pixels whose colour equals the colour key and the maximum for all others, the colour
//    compared in destination precision without dithering; else the maximum. Alpha is
//    widened and narrowed like a colour channel but never dithered. The destination's no-use
//    bits are set.
//
// Mirror writes each row right to left into the same destination rectangle. Key skip leaves
// out source pixels whose raw value equals the colour key, both masked to 8, 16 or 24 bits by
// the source pixel size (24 bits for 4-byte pixels); it is ignored when mirror is set and when
// alpha comes from an alpha image or the key test.
//
// The source rectangle is not clipped here (callers clip it); an empty one transfers nothing
// and gives -1, as do null buffers or formats, and pixel sizes other than 1 to 4 bytes. All
// offsets are computed in 64 bits. Results: rule 1's index, else 0 on success, or -1.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "softrender/records/rect.h"

// Dither modes.
constexpr int kDitherNone = 0;
constexpr int kDitherOrdered = 1;
constexpr int kDitherCarry = 2;

int TransferPixels(void* destPixels, int32_t destPitch, const PaletteColorFormat* destFormat,
                   const void* sourcePixels, int32_t sourcePitch,
                   const PaletteColorFormat* sourceFormat, const void* alphaPixels,
                   int32_t alphaPitch, const PaletteColorFormat* alphaFormat, int32_t destX,
                   int32_t destY, const RECT* sourceRect, int mirror, int keyToAlpha,
                   uint32_t colorKey, int ditherMode, int optionA, int optionB, int keySkip);

// The loop the last TransferPixels call ran (tests check that the common format pairs take
// their dedicated loops).
enum class TransferLoop {
    None,          // refused
    IndexCopy,     // rule 1
    RawCopy,       // rule 2
    SameLayout,    // rule 4
    PaletteTable,  // 8-bit source through a table of converted palette entries
    Rgb888To8888,  // 24- or 32-bit 8-8-8 source into 32-bit 8-8-8 with or without alpha
    Rgb888To565,   // 24- or 32-bit 8-8-8 source into 16-bit 5-6-5 (truncating or ordered)
    Rgb565To8888,  // 16-bit 5-6-5 source into 32-bit 8-8-8 with or without alpha
    Generic,       // any other pair, channel by channel
};
TransferLoop GetLastTransferLoop();
