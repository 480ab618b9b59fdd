#include "graphics/draw_graph/bracket_rects.h"

#include <algorithm>

#include "graphics/draw_graph/coordinate_math.h"
#include "softrender/rotated/rotated_blit_plan.h"

namespace {

// The rotated bracket's widening on every side: it takes in what either road draws, the
// device about the unrounded centre and the kernel with its margin.
constexpr int32_t kRotatedBracketMargin = 5;

}  // namespace

RECT BracketAt(int32_t x, int32_t y, int32_t width, int32_t height) {
    return RECT{x, y, AddSaturated(x, width), AddSaturated(y, height)};
}

RECT BracketStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

RECT BracketRotated(float x, float y, double scale, double angle, int32_t width,
                    int32_t height) {
    RECT corners;
    if (!GetRotatedCornerBox(RoundToNearestInt(x), RoundToNearestInt(y),
                             static_cast<float>(angle), static_cast<float>(scale), width, height,
                             &corners)) {
        // Corners beyond any target: the bracket takes in everything.
        return RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    }
    return RECT{AddSaturated(corners.left, -kRotatedBracketMargin),
                AddSaturated(corners.top, -kRotatedBracketMargin),
                AddSaturated(corners.right, kRotatedBracketMargin),
                AddSaturated(corners.bottom, kRotatedBracketMargin)};
}

RECT BracketQuad(const float (&corners)[8]) {
    RECT r{0xFFFFFF, 0xFFFFFF, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const int32_t x = RoundToNearestInt(corners[2 * i]);
        const int32_t y = RoundToNearestInt(corners[2 * i + 1]);
        r.left = std::min(r.left, x);
        r.right = std::max(r.right, x);
        r.top = std::min(r.top, y);
        r.bottom = std::max(r.bottom, y);
    }
    return r;
}
