// Free-standing mask shapes: made, filled, deleted, and drawn into the mask bitmap.
#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/mask/mask_screen.h"

namespace {

// Larger shapes than this are refused: a mask covers a screen, and no screen is this large.
constexpr int64_t kMaskImageMaxBytes = int64_t{1} << 28;

}  // namespace

int MakeMaskImage(int32_t width, int32_t height, MaskImage* out) {
    *out = MaskImage{0, 0, nullptr};
    if (width < 1 || height < 1 || int64_t{width} * height > kMaskImageMaxBytes) {
        return LogFormat("マスクイメージのサイズが不正です %d x %d", width, height);
    }
    auto* bits = static_cast<uint8_t*>(ZN_ALLOC_ZERO(static_cast<size_t>(width) * height));
    if (bits == nullptr) return LogWrite("マスクイメージのメモリ確保に失敗しました\n");
    *out = MaskImage{width, height, bits};
    return 0;
}

void DeleteMaskImage(MaskImage* image) {
    if (image->bits != nullptr) TrackedFree(image->bits);
    *image = MaskImage{0, 0, nullptr};
}

int FillMaskImage(MaskImage* image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  uint8_t value) {
    if (image->bits == nullptr) return -1;
    RECT r{left, top, right, bottom};
    NormalizeRect(&r);
    const RECT whole{0, 0, image->width, image->height};
    ClipRectInPlace(&r, &whole);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        std::memset(image->bits + static_cast<size_t>(y) * image->width + r.left, value,
                    static_cast<size_t>(r.right - r.left));
    }
    return 0;
}

int DrawMaskImage(int32_t x, int32_t y, const MaskImage* image, int32_t transparent) {
    const MaskState& m = GetMaskState();
    if (m.bits == nullptr || image->bits == nullptr) return -1;
    // The part of the mask the shape covers, in 64 bits so that no placement overflows.
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + image->width, m.width);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + image->height, m.height);
    for (int64_t my = top; my < bottom; ++my) {
        const uint8_t* from = image->bits + (my - y) * image->width + (left - x);
        uint8_t* to = m.bits + my * m.pitch + left;
        if (!transparent) {
            if (right > left) std::memcpy(to, from, static_cast<size_t>(right - left));
            continue;
        }
        for (int64_t i = 0; i < right - left; ++i) {
            if (from[i] != 0) to[i] = from[i];
        }
    }
    return 0;
}
