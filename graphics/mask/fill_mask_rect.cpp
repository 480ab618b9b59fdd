// Filling rectangles of the mask bitmap, and reading one of its bytes.
#include <cstring>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/mask/mask_screen.h"

int FillMaskRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t value) {
    const MaskState& m = GetMaskState();
    if (m.bits == nullptr) return -1;
    RECT r{left, top, right, bottom};
    NormalizeRect(&r);
    const RECT whole{0, 0, m.width, m.height};
    ClipRectInPlace(&r, &whole);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        std::memset(m.bits + static_cast<size_t>(y) * m.pitch + r.left, value,
                    static_cast<size_t>(r.right - r.left));
    }
    return 0;
}

int GetMaskByte(int32_t x, int32_t y) {
    const MaskState& m = GetMaskState();
    if (m.bits == nullptr || x < 0 || y < 0 || x >= m.width || y >= m.height) return -1;
    return m.bits[static_cast<size_t>(y) * m.pitch + x];
}
