#include "graphics/draw_graph/bracket_rects.h"

#include <algorithm>

#include "base/number_routines.h"
#include "graphics/draw_graph/coordinate_math.h"

RECT BracketAt(int32_t x, int32_t y, int32_t width, int32_t height) {
    return RECT{x, y, AddSaturated(x, width), AddSaturated(y, height)};
}

RECT BracketStretched(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

RECT BracketRotated(float x, float y, double scale, double angle, int32_t width,
                    int32_t height) {
    const double cx = RoundToNearestInt(x);
    const double cy = RoundToNearestInt(y);
    float sinA = 0.0f, cosA = 0.0f;
    SinCosF(static_cast<float>(angle), &sinA, &cosA);
    const double left = -(width / 2), top = -(height / 2);
    const double right = width - width / 2, bottom = height - height / 2;
    const double px[4] = {left, right, left, right};
    const double py[4] = {top, top, bottom, bottom};
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const double X = (px[i] * cosA - py[i] * sinA) * scale + cx;
        const double Y = (px[i] * sinA + py[i] * cosA) * scale + cy;
        minX = i == 0 ? X : std::min(minX, X);
        maxX = i == 0 ? X : std::max(maxX, X);
        minY = i == 0 ? Y : std::min(minY, Y);
        maxY = i == 0 ? Y : std::max(maxY, Y);
    }
    return RECT{RoundToNearestInt(minX - 5.0), RoundToNearestInt(minY - 5.0),
                RoundToNearestInt(maxX + 5.0), RoundToNearestInt(maxY + 5.0)};
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
