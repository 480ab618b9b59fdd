// The scrolling backdrop: its position is an offset within one tile of its graph, and its glow
// turns it from blue to red while the player boosts.
#pragma once
#include "character.h"

class Background : public Character {
public:
    void update() override;
    void raiseGlow(int v);
    void fadeGlow(int v);
    int getGlow() const { return glow_; }

private:
    int glow_ = 0;
};
