#include "tools/resources/paint/canvas.h"

#include <algorithm>

namespace res {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Canvas::Fill(const Shape& shape, const Paint& paint, float opacity) {
    FillCoverage(
        [&](int x, int y) { return Clamp01(0.5f - shape(x + 0.5f, y + 0.5f)) * opacity; }, paint);
}

void Canvas::FillCoverage(const std::function<float(int, int)>& coverageAt, const Paint& paint) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float coverage = Clamp01(coverageAt(x, y));
            if (coverage <= 0) continue;
            const Colour c = paint(px, py);
            CanvasPixel& p = pixels_[y * width_ + x];
            const float keep = 1.0f - coverage;
            p.r = c.r * coverage + p.r * keep;
            p.g = c.g * coverage + p.g * keep;
            p.b = c.b * coverage + p.b * keep;
            p.a = coverage + p.a * keep;
        }
    }
}

void Canvas::Glow(const Shape& shape, Colour colour, float strength, float softness) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float d = shape(x + 0.5f, y + 0.5f);
            float k = d <= 0 ? 1.0f : 1.0f - d / softness;
            if (k <= 0) continue;
            k = k * k * strength;
            CanvasPixel& p = pixels_[y * width_ + x];
            p.r += colour.r * k;
            p.g += colour.g * k;
            p.b += colour.b * k;
            p.a = std::min(1.0f, p.a + k * (1.0f - p.a));
        }
    }
}

}  // namespace res
