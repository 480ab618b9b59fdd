#include "pattern_comeout.h"

#include <cstdlib>
#include <numbers>

#include "enemy.h"
#include "player.h"

namespace {

// rand() mod n; a field too small to choose in gives 0 (rand() is still drawn, so the
// sequence of random numbers does not depend on the field).
int randomBelow(int n) {
    int r = std::rand();
    return n > 0 ? r % n : 0;
}

}  // namespace

void EnemyPatternComeoutFromFront::init(Enemy& enemy) {
    int level = enemy.getLevel();
    enemy.setLevel(level);
    enemy.setLife((std::rand() % 20) * level + 1000 - 5 * level);
    int x = randomBelow(getAreaWidth());
    setPosition(enemy, x, -enemy.getGraphHeight());
    enemy.setMotion(0.0, 1.0);
    turnTowardsPlayer(enemy, std::numbers::pi);
}

namespace {

// The side entries: left or right of the field at a height in the given band, heading for a
// point halfway up from the player.
void enterFromSide(Enemy& enemy, int yRandomRange, int yBase, double speed) {
    int side = std::rand() % 2;
    int y = randomBelow(yRandomRange) + yBase;
    int x = side == 0 ? -enemy.getGraphWidth() : Pattern::getAreaWidth() + enemy.getGraphWidth();
    Pattern::setPosition(enemy, x, y);
    const Player& player = Pattern::getPlayer();
    enemy.setMotion(enemy.angleTo(player.getX(), player.getY() / 2), speed);
}

}  // namespace

void EnemyPatternComeoutFromFrontSide::init(Enemy& enemy) {
    int level = enemy.getLevel() - 10;
    enemy.setLevel(level);
    enemy.setLife((std::rand() % 30) * level + 1500 - 10 * level);
    enterFromSide(enemy, getAreaHeight() / 2, 0, 0.75);
}

void EnemyPatternComeoutFromRearSide::init(Enemy& enemy) {
    int level = enemy.getLevel() - 20;
    enemy.setLevel(level);
    enemy.setLife((std::rand() % 30) * level + 1500);
    enterFromSide(enemy, getAreaHeight() / 2, getAreaHeight() / 2, 0.5);
}

void EnemyPatternComeoutFromRear::init(Enemy& enemy) {
    int level = enemy.getLevel() - 40;
    enemy.setLevel(level);
    enemy.setLife((std::rand() % 20) * level + 3000 - 20 * level);
    int x = randomBelow(getAreaWidth());
    setPosition(enemy, x, getAreaHeight() + enemy.getGraphHeight());
    enemy.setMotion(std::numbers::pi, 0.5);
}
