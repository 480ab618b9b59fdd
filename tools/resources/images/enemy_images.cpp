// The four enemy kinds, each facing down the screen (the game turns them to their heading).
// Front-layer kinds are small, bright and sharp; rear-layer kinds larger and duller, since
// they pass beneath the player.
#include <cmath>
#include <numbers>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"

namespace res {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
const Colour kOutline = Rgb8(20, 12, 20);

Shape RegularPolygon(float cx, float cy, float radius, int sides, float turn) {
    std::vector<Point> points;
    for (int i = 0; i < sides; ++i) {
        const float a = turn + 2 * kPi * static_cast<float>(i) / static_cast<float>(sides);
        points.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return Polygon(points);
}

}  // namespace

RgbImage DrawEnemyA1() {
    Canvas c(32, 32);
    // Grey side pods.
    const Shape pods = MirroredX(Capsule({6, 5}, {6, 17}, 2.4f), 16);
    c.Fill(Grow(pods, 1.0f), Solid(kOutline));
    c.Fill(pods, Linear(3, 0, Rgb8(200, 200, 215), 9, 0, Rgb8(90, 90, 110)));
    // Red arrowhead body pointing down.
    const Shape body =
        Polygon({{16, 30}, {25, 12}, {22, 3.5f}, {16, 8}, {10, 3.5f}, {7, 12}});
    c.Fill(Grow(body, 1.0f), Solid(kOutline));
    c.Fill(body, Linear(16, 3, Rgb8(255, 110, 90), 16, 30, Rgb8(140, 10, 20)));
    c.Fill(Polygon({{16, 26}, {21, 13}, {16, 11}, {11, 13}}), Solid(Rgb8(110, 10, 20)), 0.6f);
    // The yellow eye that aims.
    c.Fill(Circle(16, 16, 3.6f), Solid(Rgb8(60, 10, 10)));
    c.Fill(Circle(16, 16, 2.7f), Radial(15.4f, 15.2f, 3.0f, Rgb8(255, 255, 200), Rgb8(255, 170, 20)));
    c.Glow(Circle(16, 16, 1.0f), Rgb8(255, 200, 60), 0.5f, 3.5f);
    return Flatten(c);
}

RgbImage DrawEnemyA2() {
    Canvas c(32, 32);
    // Three prongs spread downwards: it fires fans.
    const Shape prongs = Union(Union(Capsule({16, 14}, {8, 27}, 1.9f), Capsule({16, 14}, {16, 30}, 1.9f)),
                               Capsule({16, 14}, {24, 27}, 1.9f));
    c.Fill(Grow(prongs, 1.0f), Solid(kOutline));
    c.Fill(prongs, Linear(0, 14, Rgb8(255, 170, 240), 0, 30, Rgb8(170, 40, 160)));
    // Round violet shell.
    const Shape shell = Circle(16, 12, 9.0f);
    c.Fill(Grow(shell, 1.0f), Solid(kOutline));
    c.Fill(shell, Radial(13, 8, 13, Rgb8(230, 150, 255), Rgb8(90, 20, 140)));
    c.Fill(Arc(16, 12, 6.0f, 0.8f, kPi * 1.1f, kPi * 1.9f), Solid(Rgb8(250, 220, 255)), 0.8f);
    // Two cyan eyes.
    for (float x : {12.5f, 19.5f}) {
        c.Fill(Circle(x, 14, 1.9f), Solid(Rgb8(20, 10, 40)));
        c.Fill(Circle(x, 14, 1.3f), Solid(Rgb8(120, 255, 255)));
    }
    return Flatten(c);
}

RgbImage DrawEnemyL1() {
    Canvas c(40, 40);
    // A teal saucer with a gun turret pointing down.
    const Shape turret = Capsule({20, 20}, {20, 35}, 2.6f);
    const Shape disc = Circle(20, 19, 15.0f);
    c.Fill(Grow(Union(disc, turret), 1.0f), Solid(kOutline));
    c.Fill(turret, Linear(17, 0, Rgb8(170, 180, 190), 23, 0, Rgb8(60, 70, 80)));
    c.Fill(disc, Radial(15, 13, 22, Rgb8(110, 190, 200), Rgb8(20, 60, 80)));
    c.Fill(Ring(20, 19, 10.5f, 0.7f), Solid(Rgb8(15, 40, 55)));
    for (int i = 0; i < 8; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / 8.0f + kPi / 8;
        c.Fill(Circle(20 + 12.8f * std::cos(a), 19 + 12.8f * std::sin(a), 1.1f),
               Solid(Rgb8(190, 255, 240)));
    }
    c.Fill(Circle(20, 19, 6.0f), Radial(18, 17, 7, Rgb8(200, 230, 235), Rgb8(60, 100, 120)));
    c.Fill(Circle(20, 19, 2.2f), Solid(Rgb8(255, 90, 80)));
    return Flatten(c);
}

RgbImage DrawEnemyL2() {
    Canvas c(40, 40);
    // A bronze hexagonal carrier with three vents fanning downwards.
    const Shape vents = Union(Union(Capsule({20, 22}, {10, 36}, 2.2f), Capsule({20, 22}, {20, 37}, 2.2f)),
                              Capsule({20, 22}, {30, 36}, 2.2f));
    const Shape hull = RegularPolygon(20, 19, 16.0f, 6, kPi / 6);
    c.Fill(Grow(Union(hull, vents), 1.0f), Solid(kOutline));
    c.Fill(vents, Linear(0, 22, Rgb8(150, 110, 70), 0, 37, Rgb8(70, 45, 25)));
    c.Fill(hull, Linear(10, 5, Rgb8(225, 170, 90), 30, 34, Rgb8(90, 50, 20)));
    c.Fill(RegularPolygon(20, 19, 10.5f, 6, kPi / 6), Solid(Rgb8(70, 40, 20)));
    c.Fill(RegularPolygon(20, 19, 9.0f, 6, kPi / 6),
           Linear(14, 12, Rgb8(160, 110, 60), 26, 26, Rgb8(100, 60, 30)));
    c.Fill(Circle(20, 19, 4.5f), Radial(20, 19, 4.5f, Rgb8(255, 240, 170), Rgb8(230, 110, 20)));
    c.Glow(Circle(20, 19, 2.0f), Rgb8(255, 160, 40), 0.4f, 4.0f);
    return Flatten(c);
}

}  // namespace res
