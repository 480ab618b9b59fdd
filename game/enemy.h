// Everything hostile or decorative that moves on its own: bullet sources, bullets and the
// emitters that fire them, splinters, bomb pieces and blasts. An enemy takes its graph, hit
// rectangle and behaviour from the EnemyInfo of its kind.
#pragma once
#include "character.h"

class EnemyInfo;
class EnemyPattern;

class Enemy : public Character {
public:
    // Takes the kind's looks and behaviour, the level, life 0, speed 0, age 0, alive; then the
    // kind's pattern places it.
    void init(EnemyInfo* info, int level);
    // As init, with the position and heading of source copied before the pattern's init.
    void initFrom(const Character& source, EnemyInfo* info, int level);
    void update() override;
    // The pattern's death effects, then dead.
    void kill() override;

    void setLife(int v) {
        life_ = v;
        maxLife_ = v;
    }
    int getLife() const { return life_; }
    int getMaxLife() const { return maxLife_; }
    int getLevel() const { return level_; }
    void setLevel(int v) { level_ = v; }
    // Life runs down by dt, except for bullets.
    void consumeLife(int dt);
    bool isOffscreenTooLong() const;
    bool isFrontLayer() const;
    EnemyInfo* getInfo() const { return info_; }
    // The firing marker's tile, 19 - life * 19 / 500, clamped to tileCount tiles.
    int getMarkerTile(int tileCount) const;

private:
    friend class EnemyInfo;

    void start(EnemyInfo* info, int level);

    int life_ = 0;
    int maxLife_ = 0;
    EnemyPattern* pattern_ = nullptr;
    int level_ = 0;
    EnemyInfo* info_ = nullptr;
};
