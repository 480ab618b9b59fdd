#include "zn_screen.h"

#include <cmath>

#include "api.h"

int toScreenCoordinate(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kLimit = 1 << 30;  // far outside any screen, well inside int
    if (v > kLimit) return static_cast<int>(kLimit);
    if (v < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}

void ZnScreen::setBlendNone() { ApiSetBlendMode(0, 0); }

void ZnScreen::setBlendAlpha(int v) { ApiSetBlendMode(1, v); }

void ZnScreen::setBright(int v) { ApiSetBrightnessRGB(v, v, v); }

void ZnScreen::setBrightRGB(int r, int g, int b) { ApiSetBrightnessRGB(r, g, b); }

void ZnScreen::drawGraph(double x, double y, int handle, bool transparent) {
    ApiDrawGraphAt(toScreenCoordinate(x), toScreenCoordinate(y), handle, transparent ? 1 : 0);
}

void ZnScreen::drawGraphRotated(double x, double y, double scale, double angle, int handle,
                                bool transparent) {
    ApiDrawGraphRotatedInt(toScreenCoordinate(x), toScreenCoordinate(y), scale, angle, handle,
                           transparent ? 1 : 0, 0);
}
