// Colours of the painter: three channels from 0 to 1 (the values stored in the files, no
// gamma handling), with the few operations the artwork needs.
#pragma once

#include <algorithm>

namespace res {

struct Colour {
    float r = 0, g = 0, b = 0;
};

// A colour from 8-bit channel values.
constexpr Colour Rgb8(int r, int g, int b) {
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
            static_cast<float>(b) / 255.0f};
}

constexpr Colour Mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour Scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

inline float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace res
