#include "enemy_pattern.h"

#include "enemy.h"
#include "player.h"

void EnemyPattern::step(Enemy& enemy) {
    if (isVisible(enemy)) {
        update(enemy);
    } else if (enemy.isOffscreenTooLong()) {
        enemy.kill();
    }
}

void EnemyPattern::turnTowardsPlayer(Enemy& enemy, double limit) {
    const Player& player = getPlayer();
    enemy.steer(enemy.angleTo(player.getX(), player.getY()), limit);
}
