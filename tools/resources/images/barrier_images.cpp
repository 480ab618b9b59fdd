// The barrier around the ship while it cannot be hit: a ring of three arcs with nodes (so its
// turning shows), full in the first tile and thinning away to the last.
#include <cmath>
#include <numbers>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kTiles = 6;

RgbImage DrawBarrierRing(int index) {
    const float t = static_cast<float>(index) / (kTiles - 1);
    Canvas c(48, 48);
    const Colour colour = Mix(Rgb8(120, 240, 255), Rgb8(80, 90, 230), t);
    const float width = 2.0f - 1.3f * t;
    const float gap = 0.25f + 0.5f * t;  // the gaps widen as the barrier wears off
    c.Fill(Ring(24, 24, 14.5f, 0.8f), Solid(Scale(colour, 0.9f - 0.4f * t)));
    for (int i = 0; i < 3; ++i) {
        const float a = static_cast<float>(i) * 2 * kPi / 3;
        c.Glow(Arc(24, 24, 19.0f, width * 0.5f, a + gap, a + 2 * kPi / 3 - gap), colour,
               0.35f - 0.2f * t, 2.0f);
        c.Fill(Arc(24, 24, 19.0f, width, a + gap, a + 2 * kPi / 3 - gap),
               Solid(Mix(colour, Rgb8(255, 255, 255), 0.3f)));
        const float node = a + kPi / 3;
        c.Fill(Circle(24 + 19 * std::cos(node), 24 + 19 * std::sin(node), 2.6f - 1.4f * t),
               Solid(Rgb8(255, 255, 255)));
    }
    return Flatten(c);
}

}  // namespace

RgbImage DrawBarrier() { return MakeTileSheet({kTiles, 6, 1, 48, 48}, DrawBarrierRing); }

}  // namespace res
