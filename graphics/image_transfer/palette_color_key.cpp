// The colour key of a paletted software image: the palette index that shows the transparent
// colour, or no key at all when no entry shows it.
#include "graphics/image_transfer/image_transfer_internal.h"

uint32_t FindPaletteColorKey(const PaletteEntry* palette, uint32_t colorKey, int colorDepth) {
    const uint32_t mask = colorDepth == 16 ? 0xF8FCF8u : 0xFFFFFFu;
    for (uint32_t i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette[i];
        const uint32_t rgb =
            static_cast<uint32_t>(e.r) << 16 | static_cast<uint32_t>(e.g) << 8 | e.b;
        if ((rgb & mask) == (colorKey & mask)) return i;
    }
    // Index 0 is an ordinary colour here: making it the key would hide pixels that were
    // never meant to be transparent.
    return kPalettedNoColorKey;
}
