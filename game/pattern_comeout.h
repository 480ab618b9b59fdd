// How the four kinds of bullet source enter the field: from the top, from the sides of the
// upper half, from the sides of the lower half, and from below. Each adjusts the spawn level
// to the kind's own level and sets the life it spends before firing.
#pragma once
#include "pattern_bullet_source.h"

class EnemyPatternComeoutFromFront : public BulletSourcePattern {
public:
    void init(Enemy& enemy) override;
};

class EnemyPatternComeoutFromFrontSide : public BulletSourcePattern {
public:
    void init(Enemy& enemy) override;
};

class EnemyPatternComeoutFromRearSide : public BulletSourcePattern {
public:
    void init(Enemy& enemy) override;
};

class EnemyPatternComeoutFromRear : public BulletSourcePattern {
public:
    void init(Enemy& enemy) override;
};
