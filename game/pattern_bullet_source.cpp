#include "pattern_bullet_source.h"

#include <cstdlib>

#include "enemy.h"
#include "enemy_array.h"
#include "game_world.h"
#include "pattern_set.h"
#include "player.h"

void BulletSourcePattern::update(Enemy& source) {
    Player& player = getPlayer();
    if (isInArea(source)) {
        source.consumeLife(FRAME_STEP);
        if (player.isBoosting()) source.consumeLife(FRAME_STEP);
    }
    if (source.getLife() < 1) {
        fire(source);
        source.kill();
    }
    if (source.isFrontLayer() && source.hitTest(player)) player.hit();
}

void BulletSourcePattern::fire(Enemy& source) {
    source.setAngle(source.angleToCharacter(getPlayer()));
    getBullets().spawnFrom(source, bulletInfo_, source.getLevel());
    theWorld->playSound(0, 3, 255);
}

void BulletSourcePattern::onDeath(Enemy& source) {
    EnemyArray& blasts = getBlastArray(source);
    for (int i = 0; i < 3; ++i) {
        source.setAngle(degreesToRadians(std::rand() % 360));
        blasts.spawnFrom(source, getPatternSet().getBlastInfo(), std::rand() % 20);
    }
}

EnemyArray& BulletSourcePattern::getBlastArray(const Enemy& source) {
    return source.isFrontLayer() ? getFrontBlasts() : getRearBlasts();
}
