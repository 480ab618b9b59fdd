// Bullets and the emitters that fire them. An emitter fires in its init (one aimed shot, or a
// fan of shots centred on its heading) and dies at its first update. A bullet kills the player
// on contact and otherwise grazes the tail; it flies on until it leaves the view.
#pragma once
#include "enemy_pattern.h"

class BulletPattern : public EnemyPattern {
public:
    void update(Enemy& bullet) override;
};

// A single shot: speed (level + 1) x 0.1 along the heading it inherited; bursts into a blast.
class BulletPatternSingleShot : public BulletPattern {
public:
    void init(Enemy& bullet) override;
    void onDeath(Enemy& bullet) override;
};

// The aimed emitter: one single shot of level (level + 100) x 3 / 10.
class BulletPatternAimPlayer : public BulletPattern {
public:
    void init(Enemy& emitter) override;
    void update(Enemy& emitter) override;
};

// The fan emitter: from 2 to level / 17 + 3 single shots, evenly spread around the heading.
class BulletPatternWayShot : public BulletPattern {
public:
    void init(Enemy& emitter) override;
    void update(Enemy& emitter) override;
};
