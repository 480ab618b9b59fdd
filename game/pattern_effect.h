// Short-lived effects: splinters and bomb pieces fly off in a random direction and fade while
// inside the field; blasts carry on along their heading for half a second.
#pragma once
#include "enemy_pattern.h"

class SplinterPattern : public EnemyPattern {
public:
    void init(Enemy& splinter) override;
    void update(Enemy& splinter) override;
};

class BlastPattern : public EnemyPattern {
public:
    void init(Enemy& blast) override;
    void update(Enemy& blast) override;
};
