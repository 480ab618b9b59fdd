// The player's ship with its fading tail and, while it cannot be hit, its barrier.
#pragma once
#include "my_screen.h"

class Player;
class PlayerTailArray;

class PlayerScreen : public MyScreen {
public:
    void draw() override;
    void setPlayer(Player* player) { player_ = player; }
    void setTails(PlayerTailArray* tails) { tails_ = tails; }

private:
    void drawTails();
    void drawBarrier();

    Player* player_ = nullptr;
    PlayerTailArray* tails_ = nullptr;
};
