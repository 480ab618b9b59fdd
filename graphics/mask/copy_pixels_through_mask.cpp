// The copy back of the after-hook: the pixels the mask lets through, chosen by the mask bytes.
#include <cstring>

#include "graphics/mask/mask_internal.h"
#include "graphics/mask/mask_screen.h"

namespace {

uint32_t ReadPixel(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    std::memcpy(&v, p, static_cast<size_t>(bytes));
    return v;
}

void WritePixel(uint8_t* p, int bytes, uint32_t v) {
    std::memcpy(p, &v, static_cast<size_t>(bytes));
}

bool SameLayout(const ColorFormat& a, const ColorFormat& b) {
    return a.bytes == b.bytes && a.maskR == b.maskR && a.maskG == b.maskG &&
           a.maskB == b.maskB && a.maskA == b.maskA;
}

}  // namespace

void CopyPixelsThroughMask(uint8_t* dest, int32_t destPitch, const ColorFormat& destFormat,
                           const uint8_t* source, int32_t sourcePitch,
                           const ColorFormat& sourceFormat, const RECT& r) {
    const MaskState& m = GetMaskState();
    const int destBytes = destFormat.bytes;
    const int sourceBytes = sourceFormat.bytes;
    if (destBytes < 1 || destBytes > 4 || sourceBytes < 1 || sourceBytes > 4) return;
    const bool same = SameLayout(destFormat, sourceFormat);
    // A non-zero byte lets drawing through; in reverse mode a zero byte does.
    const bool reverse = m.reverse != 0;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const uint8_t* maskRow = m.bits + static_cast<size_t>(y) * m.pitch;
        const uint8_t* from = source + static_cast<ptrdiff_t>(y - r.top) * sourcePitch;
        uint8_t* to = dest + static_cast<ptrdiff_t>(y - r.top) * destPitch;
        for (int32_t x = r.left; x < r.right; ++x, from += sourceBytes, to += destBytes) {
            const bool through = (maskRow[x] != 0) != reverse;
            if (!through) continue;
            if (same) {
                std::memcpy(to, from, static_cast<size_t>(destBytes));
            } else {
                WritePixel(to, destBytes,
                           ConvertPixel(&destFormat, &sourceFormat, ReadPixel(from, sourceBytes)));
            }
        }
    }
}
