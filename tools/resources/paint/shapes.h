// Vector shapes as signed distance functions in pixel units: negative inside, positive
// outside, the magnitude the distance to the outline. The painter turns the distance at a
// pixel's centre into its coverage, which gives anti-aliased edges one pixel wide.
#pragma once

#include <functional>
#include <vector>

namespace res {

struct Point {
    float x = 0, y = 0;
};

using Shape = std::function<float(float x, float y)>;

Shape Circle(float cx, float cy, float radius);
Shape Ellipse(float cx, float cy, float rx, float ry);
// A ring of the given radius whose band is 2 * halfWidth wide.
Shape Ring(float cx, float cy, float radius, float halfWidth);
// A segment from a to b thickened by radius, with round ends.
Shape Capsule(Point a, Point b, float radius);
// A closed polygon (any winding; even-odd inside test).
Shape Polygon(std::vector<Point> points);
// An axis-aligned box of half sizes hx, hy with corners rounded by `round`.
Shape Box(float cx, float cy, float hx, float hy, float round = 0);
// The part of a ring between the angles a0 and a1 (radians, 0 along +x, growing towards +y),
// with round ends.
Shape Arc(float cx, float cy, float radius, float halfWidth, float a0, float a1);

Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
// The shape grown (positive) or shrunk (negative) by amount pixels.
Shape Grow(Shape s, float amount);
// The shape turned by angle radians about (cx, cy).
Shape Rotated(Shape s, float cx, float cy, float angle);
// The shape mirrored about the vertical line x = axis, joined with itself.
Shape MirroredX(Shape s, float axis);

}  // namespace res
