// The tail: short-lived copies of the ship laid at its position every step. A bullet grazing
// the tail raises the tension and throws a splinter.
#pragma once
#include "character.h"
#include "pattern.h"
#include "simple_array.h"

class Enemy;
class Player;
class PlayerTail;

// The one behaviour of every tail piece: it ages and dies after 200 ms.
class PlayerTailPattern : public Pattern {
public:
    void update(PlayerTail& tail);
    void onTouch(PlayerTail& tail, double direction, double amount);
};

class PlayerTail : public Character {
public:
    // Laid at the player: its position and roll, a 6 x 6 hit rectangle, age 0.
    void init(const Player& player);
    void update() override;
    double getAngle() const override;
    int getRotation() const { return roll_; }
    // Grazed by a bullet of the given heading and level.
    void onTouch(double direction, double amount);

private:
    int roll_ = 0;
    PlayerTailPattern behaviour_;
};

class PlayerTailArray : public SimpleArray<PlayerTail> {
public:
    PlayerTailArray() : SimpleArray<PlayerTail>(30) {}

    void setGraph(DhGraph* g);
    // Lays a new piece in the first dead entry (none when all 30 are alive).
    void add(const Player& player);
    void updateAll();
    void killAll();
    void clearAll();
    // The first live piece that the bullet overlaps is grazed; the search stops there.
    void touch(const Enemy& bullet);
};
