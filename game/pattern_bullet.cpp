#include "pattern_bullet.h"

#include <algorithm>
#include <cstdlib>

#include "enemy.h"
#include "enemy_array.h"
#include "pattern_set.h"
#include "player.h"
#include "player_tail.h"

void BulletPattern::update(Enemy& bullet) {
    Player& player = getPlayer();
    if (bullet.hitTest(player)) {
        player.hit();
    } else {
        getTails().touch(bullet);
    }
}

void BulletPatternSingleShot::init(Enemy& bullet) {
    bullet.setLife(9999);
    bullet.accelerate((bullet.getLevel() + 1) * 0.1);
}

void BulletPatternSingleShot::onDeath(Enemy& bullet) {
    getEffects().spawnFrom(bullet, getPatternSet().getBlastInfo(), bullet.getLevel());
}

void BulletPatternAimPlayer::init(Enemy& emitter) {
    emitter.setLife(9999);
    getBullets().spawnFrom(emitter, getPatternSet().getBulletInfo(),
                           (emitter.getLevel() + 100) * 3 / 10);
}

void BulletPatternAimPlayer::update(Enemy& emitter) { emitter.kill(); }

void BulletPatternWayShot::init(Enemy& emitter) {
    emitter.setLife(9999);
    int level = emitter.getLevel();
    // level / 17 + 3 is at least 3 for the levels sources are given; the guard keeps a
    // negative level from dividing by zero.
    int n = std::rand() % std::max(level / 17 + 3, 1) + 1;
    int count = std::max(n, 2);
    double spread = (std::rand() % 10 + 1) * 0.025;
    emitter.turn(-spread * (count - 1));
    for (int i = 0; i < count; ++i) {
        getBullets().spawnFrom(emitter, getPatternSet().getBulletInfo(),
                               (level + 100 - 17 * count) * 3 / 10);
        emitter.turn(2 * spread);
    }
}

void BulletPatternWayShot::update(Enemy& emitter) { emitter.kill(); }
