#include "softrender/rules/palette_scratch.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// 256 entries of 4 bytes (32-bit sources) or 2 bytes (16-bit sources).
union PaletteScratchTable {
    uint32_t entries32[256];
    uint16_t entries16[256];
};
alignas(16) PaletteScratchTable PaletteScratch;

// Copies a palette of `count` entries of `entryBytes` bytes (2 or 4) into the 256-entry table
// and zeroes the rest of it.
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

}  // namespace

void UsePaletteScratch(const MEMIMG& src, PixelContext* context) {
    if (!src.paletted) return;
    if (src.pixelFormat == MEMIMG_FORMAT_32) {
        CopyPaletteToScratch(PaletteScratch.entries32, src.palette, src.paletteCount, 4);
        context->palette32 = PaletteScratch.entries32;
    } else {
        CopyPaletteToScratch(PaletteScratch.entries16, src.palette, src.paletteCount, 2);
        context->palette16 = PaletteScratch.entries16;
    }
}
