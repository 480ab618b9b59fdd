#include "tools/resources/paint/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace res {

namespace {

float SegmentDistance(float px, float py, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (a.x + dx * t), py - (a.y + dy * t));
}

}  // namespace

Shape Circle(float cx, float cy, float radius) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
    // Distance in the scaled space, brought back by the gradient's length: close to the true
    // distance near the outline, which is all the coverage needs.
    return [=](float x, float y) {
        const float u = (x - cx) / rx, v = (y - cy) / ry;
        const float k = std::hypot(u, v);
        const float gradient = std::hypot(u / rx, v / ry);
        if (gradient <= 1e-6f) return -std::min(rx, ry);
        return (k - 1.0f) * k / gradient;
    };
}

Shape Ring(float cx, float cy, float radius, float halfWidth) {
    return [=](float x, float y) {
        return std::fabs(std::hypot(x - cx, y - cy) - radius) - halfWidth;
    };
}

Shape Capsule(Point a, Point b, float radius) {
    return [=](float x, float y) { return SegmentDistance(x, y, a, b) - radius; };
}

Shape Polygon(std::vector<Point> points) {
    return [points = std::move(points)](float x, float y) {
        float best = 1e9f;
        bool inside = false;
        const size_t n = points.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Point a = points[j], b = points[i];
            best = std::min(best, SegmentDistance(x, y, a, b));
            if ((b.y > y) != (a.y > y) && x < (a.x - b.x) * (y - b.y) / (a.y - b.y) + b.x) {
                inside = !inside;
            }
        }
        return inside ? -best : best;
    };
}

Shape Box(float cx, float cy, float hx, float hy, float round) {
    return [=](float x, float y) {
        const float qx = std::fabs(x - cx) - hx + round, qy = std::fabs(y - cy) - hy + round;
        const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - round;
    };
}

Shape Arc(float cx, float cy, float radius, float halfWidth, float a0, float a1) {
    const Point p0 = {cx + radius * std::cos(a0), cy + radius * std::sin(a0)};
    const Point p1 = {cx + radius * std::cos(a1), cy + radius * std::sin(a1)};
    return [=](float x, float y) {
        constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
        float a = std::atan2(y - cy, x - cx) - a0;
        a = std::fmod(std::fmod(a, kTwoPi) + kTwoPi, kTwoPi);
        if (a <= a1 - a0) return std::fabs(std::hypot(x - cx, y - cy) - radius) - halfWidth;
        return std::min(std::hypot(x - p0.x, y - p0.y), std::hypot(x - p1.x, y - p1.y)) -
               halfWidth;
    };
}

Shape Union(Shape a, Shape b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape Intersect(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Shape Subtract(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shape Grow(Shape s, float amount) {
    return [=](float x, float y) { return s(x, y) - amount; };
}

Shape Rotated(Shape s, float cx, float cy, float angle) {
    const float c = std::cos(-angle), si = std::sin(-angle);
    return [=](float x, float y) {
        const float dx = x - cx, dy = y - cy;
        return s(cx + dx * c - dy * si, cy + dx * si + dy * c);
    };
}

Shape MirroredX(Shape s, float axis) {
    return [=](float x, float y) { return std::min(s(x, y), s(2 * axis - x, y)); };
}

}  // namespace res
