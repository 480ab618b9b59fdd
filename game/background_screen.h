// The scrolling backdrop of the playing field, tiled over its area and tinted by the glow:
// blue at rest, turning red while the player boosts.
#pragma once
#include "my_screen.h"
#include "rect.h"

class Background;

class BackgroundScreen : public MyScreen {
public:
    void draw() override;
    void setBackground(Background* background) { background_ = background; }
    // The area to cover: left x, top y, right x + w - 1, bottom y + h - 1.
    void setArea(int x, int y, int w, int h) { area_.set(x, y, x + w - 1, y + h - 1); }

private:
    Background* background_ = nullptr;
    Rect area_;
};
