#include "tools/resources/paint/keyed_image.h"

#include <algorithm>
#include <cmath>

namespace res {

namespace {

constexpr float kMinCoverage = 1.0f / 64.0f;
// The share of the shape's colour that its rim keeps where the coverage runs out.
constexpr float kRimShade = 0.25f;

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

// Moves a colour that would be taken for the key off it, keeping it dark and green.
Rgb8Pixel AwayFromKey(Rgb8Pixel p) {
    if (!IsNearKey(p)) return p;
    p.r = std::max<uint8_t>(p.r, 24);
    p.b = std::max<uint8_t>(p.b, 24);
    return p;
}

}  // namespace

bool IsNearKey(Rgb8Pixel p) {
    // Within two 5-6-5 steps of the key's reduced value (0, 32, 0) in every channel.
    return (p.r >> 3) <= 2 && (p.b >> 3) <= 2 && std::abs((p.g >> 2) - 32) <= 2;
}

RgbImage Flatten(const Canvas& canvas) {
    RgbImage out(canvas.width(), canvas.height(), kKeyColour);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const CanvasPixel& p = canvas.at(x, y);
            if (p.a < kMinCoverage) continue;
            // The unpremultiplied colour, faded toward its own dark shade by the coverage.
            const float fade = p.a + (1.0f - p.a) * kRimShade;
            const Rgb8Pixel c = {ToByte(p.r / p.a * fade), ToByte(p.g / p.a * fade),
                                 ToByte(p.b / p.a * fade)};
            out.at(x, y) = AwayFromKey(c);
        }
    }
    return out;
}

RgbImage FlattenOpaque(const Canvas& canvas) {
    RgbImage out(canvas.width(), canvas.height(), Rgb8Pixel{});
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const CanvasPixel& p = canvas.at(x, y);
            out.at(x, y) = AwayFromKey({ToByte(p.r), ToByte(p.g), ToByte(p.b)});
        }
    }
    return out;
}

}  // namespace res
