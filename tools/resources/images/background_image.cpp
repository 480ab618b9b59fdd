// The playing field's backdrop: one opaque grey tile repeated over the field and scrolled.
// The game tints it (blue at rest, red while boosting), so it is painted in greys only, dark
// enough for the sprites to stand out. Everything that crosses an edge is painted again one
// tile over, so the tile repeats without seams.
#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"

namespace res {

namespace {

constexpr float kSize = 64.0f;

Colour Grey(int v) { return Rgb8(v, v, v); }

}  // namespace

RgbImage DrawBackground() {
    Canvas c(64, 64);
    c.Fill(Box(32, 32, 40, 40), Solid(Grey(20)));
    // A raised diamond plate in the middle, lit from the top left.
    const Shape plate = Polygon({{32, 8}, {56, 32}, {32, 56}, {8, 32}});
    c.Fill(Grow(plate, 1.0f), Solid(Grey(12)));
    c.Fill(plate, Linear(14, 14, Grey(52), 50, 50, Grey(30)));
    c.Fill(Polygon({{32, 20}, {44, 32}, {32, 44}, {20, 32}}), Linear(24, 24, Grey(26), 40, 40, Grey(40)));
    c.Fill(Circle(32, 32, 2.5f), Solid(Grey(90)));
    // Grid lines along the tile's edges, with studs where they cross.
    for (float offset : {0.0f, kSize}) {
        c.Fill(Box(offset, 32, 1.0f, 40), Solid(Grey(48)));
        c.Fill(Box(32, offset, 40, 1.0f), Solid(Grey(48)));
    }
    for (float x : {0.0f, kSize}) {
        for (float y : {0.0f, kSize}) c.Fill(Circle(x, y, 3.0f), Solid(Grey(110)));
    }
    // Small circuit traces between the plate and the grid.
    for (float x : {16.0f, 48.0f}) {
        c.Fill(Capsule({x, 4}, {x, 10}, 0.5f), Solid(Grey(60)));
        c.Fill(Circle(x, 11, 1.2f), Solid(Grey(75)));
        c.Fill(Capsule({x, 54}, {x, 60}, 0.5f), Solid(Grey(60)));
        c.Fill(Circle(x, 53, 1.2f), Solid(Grey(75)));
    }
    return FlattenOpaque(c);
}

}  // namespace res
