// Twelve frames of a blast: a white flash, a fireball of puffs that swells and reddens, then
// thinning smoke.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"
#include "tools/resources/random.h"

namespace res {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kTiles = 12;
constexpr int kPuffs = 14;

// The fire's colour by the frame's progress: white, yellow, orange, red, smoke.
Colour FireColour(float t) {
    if (t < 0.2f) return Mix(Rgb8(255, 255, 240), Rgb8(255, 230, 120), t / 0.2f);
    if (t < 0.45f) return Mix(Rgb8(255, 230, 120), Rgb8(255, 130, 30), (t - 0.2f) / 0.25f);
    if (t < 0.7f) return Mix(Rgb8(255, 130, 30), Rgb8(190, 40, 20), (t - 0.45f) / 0.25f);
    return Mix(Rgb8(190, 40, 20), Rgb8(70, 60, 60), (t - 0.7f) / 0.3f);
}

RgbImage DrawBlast(int index) {
    const float t = static_cast<float>(index) / (kTiles - 1);
    Canvas c(48, 48);
    // The same puffs in every frame (fixed seed), moving outwards as the blast grows.
    Random random(0xB1A57u);
    const float spread = 3.0f + 15.0f * std::sqrt(t);
    // A body under the puffs, so no hole shows through the fireball's middle.
    if (t < 0.75f) {
        const Colour body = Scale(FireColour(t + 0.1f), 0.85f);
        c.Fill(Circle(24, 24, spread * 0.7f + 2.0f), Solid(body));
    }
    for (int i = 0; i < kPuffs; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / kPuffs + random.Signed() * 0.3f;
        const float reach = spread * (0.45f + 0.55f * random.Unit());
        float size = (2.5f + 3.5f * random.Unit()) * (0.6f + 1.6f * t);
        if (t > 0.7f) size *= 1.0f - (t - 0.7f) * 1.8f;  // smoke thins out
        size = std::min(size, 22.0f - reach);  // the tile's edge clips nothing
        const float x = 24 + reach * std::cos(a), y = 24 + reach * std::sin(a);
        const Colour colour = FireColour(std::min(1.0f, t + 0.15f * random.Unit()));
        c.Fill(Circle(x, y, size), Radial(x - size * 0.3f, y - size * 0.3f, size * 1.3f,
                                          Mix(colour, Rgb8(255, 255, 220), 0.35f * (1 - t)),
                                          Scale(colour, 0.7f)));
    }
    // The hot core: large and white at first, gone by the smoke.
    if (t < 0.7f) {
        const float core = (1.0f - t / 0.7f) * (6.0f + 6.0f * (1.0f - t));
        c.Glow(Circle(24, 24, core * 0.6f), Rgb8(255, 220, 140), 0.7f * (1 - t), core);
        c.Fill(Circle(24, 24, core * 0.7f), Radial(24, 24, core, Rgb8(255, 255, 255),
                                                   FireColour(t)));
    }
    return Flatten(c);
}

}  // namespace

RgbImage DrawExplosion() { return MakeTileSheet({kTiles, 3, 4, 48, 48}, DrawBlast); }

}  // namespace res
