// The warning markers shown over an enemy in the half second before it fires: a lock-on
// reticle that closes in, turns and reddens from the first tile to the last.
#include <cmath>
#include <numbers>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kTiles = 20;

RgbImage DrawMarker(int index) {
    const float t = static_cast<float>(index) / (kTiles - 1);
    Canvas c(48, 48);
    const Colour colour = Mix(Rgb8(255, 235, 80), Rgb8(255, 40, 40), t);
    const float radius = 20.0f - 12.0f * t;
    const float width = 0.7f + 0.8f * t;
    const float turn = t * kPi / 2;
    // Four arcs of the closing ring, with a gap between each.
    for (int i = 0; i < 4; ++i) {
        const float a = turn + static_cast<float>(i) * kPi / 2 + 0.25f;
        c.Fill(Arc(24, 24, radius, width, a, a + kPi / 2 - 0.5f), Solid(colour));
    }
    // Inward ticks at the four quarters.
    for (int i = 0; i < 4; ++i) {
        const float a = turn + static_cast<float>(i) * kPi / 2;
        const Point outer = {24 + (radius + 3) * std::cos(a), 24 + (radius + 3) * std::sin(a)};
        const Point inner = {24 + (radius - 3) * std::cos(a), 24 + (radius - 3) * std::sin(a)};
        c.Fill(Capsule(outer, inner, width * 0.8f), Solid(Mix(colour, Rgb8(255, 255, 255), 0.3f)));
    }
    // A centre dot that brightens towards the end.
    if (index >= kTiles / 2) {
        c.Fill(Circle(24, 24, 1.0f + t), Solid(Mix(colour, Rgb8(255, 255, 255), 0.5f)));
    }
    return Flatten(c);
}

}  // namespace

RgbImage DrawMarkers() { return MakeTileSheet({kTiles, 5, 4, 48, 48}, DrawMarker); }

}  // namespace res
