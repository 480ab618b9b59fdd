#include "background_screen.h"

#include "background.h"

void BackgroundScreen::draw() {
    if (background_ == nullptr) return;
    const int w = background_->getGraphWidth();
    const int h = background_->getGraphHeight();
    const int glow = background_->getGlow();
    setBrightRGB(glow, 0, 255 - glow);
    // The tiles start one tile before the area so that the scrolled offset (within one tile)
    // never leaves a gap; a graph without a size has nothing to tile.
    if (w > 0 && h > 0) {
        const int handle = background_->getHandle();
        for (int x = area_.left - w; x < area_.right; x += w) {
            for (int y = area_.top - h; y < area_.bottom; y += h) {
                drawGraph(background_->getX() + x, background_->getY() + y, handle, true);
            }
        }
    }
    setBright(255);
}
