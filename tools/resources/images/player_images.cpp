// The player's ship and the ghost images of its trail.
#include <cmath>

#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"

namespace res {

RgbImage DrawPlayer() {
    Canvas c(32, 32);
    const Colour outline = Rgb8(16, 20, 40);
    // Swept wings, drawn first so the hull covers their roots.
    const Shape wing = Polygon({{14, 12}, {4, 23}, {3, 28}, {7, 28}, {14, 22}});
    const Shape wings = MirroredX(wing, 16);
    c.Fill(Grow(wings, 1.0f), Solid(outline));
    c.Fill(wings, Linear(16, 12, Rgb8(120, 150, 210), 4, 28, Rgb8(40, 60, 130)));
    // Red wing tips.
    const Shape tips = MirroredX(Capsule({4.5f, 24}, {4.5f, 27.5f}, 1.4f), 16);
    c.Fill(tips, Linear(0, 23, Rgb8(255, 110, 90), 0, 29, Rgb8(170, 30, 40)));
    // Hull: a long dart.
    const Shape hull = Polygon({{16, 1.5f}, {20, 11}, {21, 22}, {18.5f, 28}, {13.5f, 28}, {11, 22},
                                {12, 11}});
    c.Fill(Grow(hull, 1.0f), Solid(outline));
    c.Fill(hull, Linear(12, 0, Rgb8(250, 252, 255), 21, 0, Rgb8(130, 150, 190)));
    // Panel line down the middle and the canopy.
    c.Fill(Capsule({16, 16}, {16, 26}, 0.45f), Solid(Rgb8(90, 100, 140)), 0.8f);
    c.Fill(Ellipse(16, 11.5f, 2.4f, 4.2f), Solid(Rgb8(10, 30, 60)));
    c.Fill(Ellipse(16, 11.5f, 1.7f, 3.4f),
           Radial(15.3f, 10, 4, Rgb8(170, 250, 255), Rgb8(20, 110, 200)));
    // Engine flames under the hull.
    for (float x : {14.2f, 17.8f}) {
        c.Fill(Ellipse(x, 29, 1.3f, 2.2f), Radial(x, 28.5f, 2.5f, Rgb8(255, 250, 200),
                                                   Rgb8(255, 120, 30)));
        c.Glow(Circle(x, 29, 0.5f), Rgb8(255, 140, 40), 0.6f, 2.0f);
    }
    return Flatten(c);
}

RgbImage DrawPlayerTail() {
    Canvas c(16, 16);
    // A small chevron of light: the trail is a row of them, fading with age.
    c.Glow(Circle(8, 8, 2.0f), Rgb8(60, 160, 255), 0.7f, 5.0f);
    const Shape chevron = Polygon({{8, 3}, {12.5f, 11}, {8, 8.5f}, {3.5f, 11}});
    c.Fill(chevron, Linear(8, 3, Rgb8(235, 250, 255), 8, 11, Rgb8(90, 190, 255)));
    c.Fill(Circle(8, 7, 1.1f), Solid(Rgb8(255, 255, 255)));
    return Flatten(c);
}

}  // namespace res
