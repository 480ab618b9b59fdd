#include "tools/resources/paint/paints.h"

#include <cmath>

namespace res {

Paint Solid(Colour c) {
    return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, Colour c0, float x1, float y1, Colour c1) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = dx * dx + dy * dy;
    return [=](float x, float y) {
        const float t = length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0f;
        return Mix(c0, c1, Clamp01(t));
    };
}

Paint Radial(float cx, float cy, float radius, Colour inner, Colour outer) {
    return [=](float x, float y) {
        return Mix(inner, outer, Clamp01(std::hypot(x - cx, y - cy) / radius));
    };
}

}  // namespace res
