#include "enemy_screen.h"

#include "enemy_array.h"

void drawEnemyArray(ZnScreen& screen, const EnemyArray& enemies) {
    for (uint32_t i = 0; i < enemies.size(); ++i) {
        const Enemy& e = enemies.at(i);
        if (!e.isAlive()) continue;
        screen.drawGraphRotated(e.getX(), e.getY(), 1.0, -e.getDirection(), e.getHandle(), true);
    }
}

void EnemyScreen::draw() {
    if (enemies_ != nullptr) drawEnemyArray(*this, *enemies_);
}
