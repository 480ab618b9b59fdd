// A drawing surface of premultiplied colour and coverage (alpha), on which shapes are filled
// with paints, either covering what is below (over) or adding light to it (glow).
#pragma once

#include <functional>
#include <vector>

#include "tools/resources/paint/colour.h"
#include "tools/resources/paint/paints.h"
#include "tools/resources/paint/shapes.h"

namespace res {

struct CanvasPixel {
    float r = 0, g = 0, b = 0, a = 0;  // colour premultiplied by a
};

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const CanvasPixel& at(int x, int y) const { return pixels_[y * width_ + x]; }

    // Covers the shape with the paint, at the given opacity; edges anti-aliased over one pixel.
    void Fill(const Shape& shape, const Paint& paint, float opacity = 1.0f);
    // Covers each pixel by the share coverage(x, y) (0 .. 1) with the paint.
    void FillCoverage(const std::function<float(int x, int y)>& coverage, const Paint& paint);
    // Adds light inside the shape, fading to nothing `softness` pixels outside its outline.
    void Glow(const Shape& shape, Colour colour, float strength, float softness);

private:
    int width_, height_;
    std::vector<CanvasPixel> pixels_;
};

}  // namespace res
