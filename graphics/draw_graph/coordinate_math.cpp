#include "graphics/draw_graph/coordinate_math.h"

#include <algorithm>
#include <cmath>

int32_t RoundToNearestInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    double whole = std::floor(v);
    const double rest = v - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<int32_t>(whole);
}

int32_t ClampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
