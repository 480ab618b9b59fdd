// Splinters thrown off the tail where a bullet grazes it: a four-pointed spark that shrinks
// and cools from the first tile to the last.
#include <cmath>
#include <numbers>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kTiles = 8;

Shape Star(float cx, float cy, float outer, float inner, int points, float turn) {
    std::vector<Point> p;
    for (int i = 0; i < points * 2; ++i) {
        const float r = i % 2 == 0 ? outer : inner;
        const float a = turn + kPi * static_cast<float>(i) / static_cast<float>(points);
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Polygon(p);
}

RgbImage DrawSplinter(int index) {
    const float t = static_cast<float>(index) / (kTiles - 1);
    Canvas c(16, 16);
    const float size = 6.5f - 4.0f * t;
    const Colour hot = Mix(Rgb8(255, 255, 255), Rgb8(120, 200, 255), t);
    const Colour rim = Mix(Rgb8(80, 220, 255), Rgb8(40, 60, 200), t);
    c.Glow(Circle(8, 8, 0.5f), rim, 0.6f - 0.3f * t, size);
    const Shape star = Star(8, 8, size, size * 0.3f, 4, t * kPi / 4);
    c.Fill(star, Radial(8, 8, size, hot, rim));
    c.Fill(Circle(8, 8, 1.2f - 0.5f * t), Solid(hot));
    return Flatten(c);
}

}  // namespace

RgbImage DrawSplinters() { return MakeTileSheet({kTiles, 8, 1, 16, 16}, DrawSplinter); }

}  // namespace res
