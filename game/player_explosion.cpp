#include "player_explosion.h"

#include <cstdlib>

#include "enemy_array.h"
#include "pattern_set.h"

void PlayerExplosion::start(double x, double y) {
    x_ = x;
    y_ = y;
    age_ = 0;
    alive_ = true;
    pattern_.start(*this);
}

void PlayerExplosion::update() { pattern_.update(*this); }

void PlayerExplosionPattern::start(PlayerExplosion& explosion) {
    for (int ring = 0; ring < 2; ++ring) {
        for (int i = 0; i < 20; ++i) {
            explosion.setAngle(degreesToRadians(std::rand() % 360));
            int level = ring == 0 ? std::rand() % 20 : std::rand() % 40;
            getEffects().spawnFrom(explosion, getPatternSet().getBlastInfo(), level);
        }
    }
}

void PlayerExplosionPattern::update(PlayerExplosion& explosion) {
    if (!explosion.isAlive()) return;
    if (explosion.getAge() >= 1000) explosion.clear();
    addAge(explosion);
}
