// Bullet sources (the enemies proper): each counts its life down while inside the field, then
// fires one emitter of its kind and bursts into three blasts. Front-layer sources kill the
// player on contact.
#pragma once
#include "enemy_pattern.h"

class EnemyArray;
class EnemyInfo;

class BulletSourcePattern : public EnemyPattern {
public:
    void update(Enemy& source) override;
    void onDeath(Enemy& source) override;

    // The emitter this kind fires.
    void setBulletInfo(EnemyInfo* info) { bulletInfo_ = info; }
    EnemyInfo* getBulletInfo() const { return bulletInfo_; }
    // Turns to the player and fires the emitter with the source's level.
    void fire(Enemy& source);
    // The front blasts for a front-layer source, the rear blasts otherwise.
    EnemyArray& getBlastArray(const Enemy& source);

private:
    EnemyInfo* bulletInfo_ = nullptr;
};
