#include "background.h"

#include <algorithm>
#include <cmath>

void Background::update() {
    // Without a graph there is no tile to wrap in; the offset then stays where it is.
    double w = getGraphWidth();
    double h = getGraphHeight();
    if (w > 0) x_ = std::fmod(w + x_ + vx_, w);
    if (h > 0) y_ = std::fmod(h + y_ + vy_, h);
}

void Background::raiseGlow(int v) { glow_ = std::min(glow_ + v, 255); }

void Background::fadeGlow(int v) { glow_ = std::max(glow_ - v, 0); }
