// The behaviour of an enemy kind: it places a new enemy (init), runs it each step while it is
// in view (update) and adds the effects of its death (onDeath).
#pragma once
#include "pattern.h"

class Enemy;

class EnemyPattern : public Pattern {
public:
    virtual void update(Enemy& enemy) = 0;
    virtual void init(Enemy& enemy) = 0;
    virtual void onDeath(Enemy&) {}

    // One step: update while in view; out of view, killed once older than the kind's grace.
    void step(Enemy& enemy);
    // Steers towards the player's position by at most limit.
    void turnTowardsPlayer(Enemy& enemy, double limit);
};
