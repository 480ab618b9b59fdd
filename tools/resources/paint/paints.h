// Paints: the colour a shape takes at each point (solid, linear and radial gradients).
#pragma once

#include <functional>

#include "tools/resources/paint/colour.h"

namespace res {

using Paint = std::function<Colour(float x, float y)>;

Paint Solid(Colour c);
// From c0 at (x0, y0) to c1 at (x1, y1), constant beyond either end.
Paint Linear(float x0, float y0, Colour c0, float x1, float y1, Colour c1);
// From inner at the centre to outer at the radius, constant beyond it.
Paint Radial(float cx, float cy, float radius, Colour inner, Colour outer);

}  // namespace res
