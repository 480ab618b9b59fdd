// The rectangle of a transfer clipped to its source (and the source's alpha image) and to the
// destination it lands in, shared by the roads into 2D pieces and into texture pieces.
#include <algorithm>

#include "graphics/image_transfer/image_transfer_internal.h"

bool ClipTransferRect(const ResolvedTransferSource& source, const RECT* sourceRect, int32_t x,
                      int32_t y, int32_t destWidth, int32_t destHeight, ClippedTransfer* out) {
    int64_t limitW = source.colour.width, limitH = source.colour.height;
    if (source.hasAlpha) {
        limitW = std::min<int64_t>(limitW, source.alpha.width);
        limitH = std::min<int64_t>(limitH, source.alpha.height);
    }
    int64_t left = 0, top = 0, right = limitW, bottom = limitH;
    if (sourceRect != nullptr) {
        left = sourceRect->left;
        top = sourceRect->top;
        right = sourceRect->right;
        bottom = sourceRect->bottom;
    }
    int64_t dx = x, dy = y;
    // Both corners move together: what is cut from one side is cut from the other.
    const auto clipAxis = [](int64_t* low, int64_t* high, int64_t* dest, int64_t sourceSize,
                             int64_t destSize) {
        if (*low < 0) {
            *dest -= *low;
            *low = 0;
        }
        if (*dest < 0) {
            *low -= *dest;
            *dest = 0;
        }
        *high = std::min({*high, sourceSize, *low + (destSize - *dest)});
        return *high > *low;
    };
    if (!clipAxis(&left, &right, &dx, limitW, destWidth) ||
        !clipAxis(&top, &bottom, &dy, limitH, destHeight)) {
        return false;
    }
    out->source = RECT{static_cast<int32_t>(left), static_cast<int32_t>(top),
                       static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    out->x = static_cast<int32_t>(dx);
    out->y = static_cast<int32_t>(dy);
    return true;
}
