// The player's behaviour: joypad control, boost, bombs, charge, the auto bomb of beginner
// games, death and respawn.
#pragma once
#include "pattern.h"

class Player;
class ZnJoypad;

class PlayerPattern : public Pattern {
public:
    void setJoypad(ZnJoypad* joypad) { joypad_ = joypad; }
    // One step: the active bomb, the respawn countdown or control, the barrier countdown.
    void update(Player& player);
    // Charge, boost and bomb button (not in demo), movement, clamp to the field, roll.
    void control(Player& player);
    void charge(Player& player);
    void bomb(Player& player);
    void onHit(Player& player);
    // Back at the bottom centre of the field with a fresh hit rectangle.
    void respawn(Player& player);

private:
    ZnJoypad* joypad_ = nullptr;
};
