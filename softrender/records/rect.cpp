#include "softrender/records/rect.h"

#include <algorithm>
#include <utility>

int ClipRectInPlace(RECT* rect, const RECT* bound) {
    // An inverted bound has no inside: every edge then lands on its left or top.
    if (rect->right < rect->left) rect->right = rect->left;
    if (rect->bottom < rect->top) rect->bottom = rect->top;
    rect->bottom = std::clamp(rect->bottom, bound->top, std::max(bound->top, bound->bottom));
    rect->top = std::clamp(rect->top, bound->top, std::max(bound->top, bound->bottom));
    rect->right = std::clamp(rect->right, bound->left, std::max(bound->left, bound->right));
    rect->left = std::clamp(rect->left, bound->left, std::max(bound->left, bound->right));
    return 0;
}

int NormalizeRect(RECT* rect) {
    if (rect->left > rect->right) std::swap(rect->left, rect->right);
    if (rect->top > rect->bottom) std::swap(rect->top, rect->bottom);
    return 0;
}

int GetRectSize(const RECT* rect, int32_t* width, int32_t* height) {
    if (width != nullptr) *width = rect->right - rect->left;
    if (height != nullptr) *height = rect->bottom - rect->top;
    return 0;
}
