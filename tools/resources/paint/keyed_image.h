// The flat 24-bit images written to the files, and the step from a canvas to such an image
// around which the transparent key colour stands.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/resources/paint/canvas.h"

namespace res {

struct Rgb8Pixel {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8Pixel&) const = default;
};

// The colour the game treats as transparent in every image.
constexpr Rgb8Pixel kKeyColour = {0, 128, 0};

struct RgbImage {
    int width = 0, height = 0;
    std::vector<Rgb8Pixel> pixels;  // row by row from the top

    RgbImage() = default;
    RgbImage(int w, int h, Rgb8Pixel fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgb8Pixel& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb8Pixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// True when the colour would read as the key once the library has reduced it to 16 bits
// (5-6-5) or nearly so: such a pixel inside a shape would become a hole.
bool IsNearKey(Rgb8Pixel p);

// The canvas as a keyed image: pixels the shapes did not reach (coverage below 1/64) are
// exactly the key colour; every other pixel is the shape's own colour faded toward a dark
// shade of it by the missing coverage (a soft dark rim, never a blend with the key), and is
// moved off any near-key colour.
RgbImage Flatten(const Canvas& canvas);

// The canvas as an opaque image: the canvas's colour over black, everywhere.
RgbImage FlattenOpaque(const Canvas& canvas);

}  // namespace res
