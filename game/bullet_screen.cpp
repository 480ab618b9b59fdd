#include "bullet_screen.h"

#include "enemy_screen.h"

void BulletScreen::draw() {
    setBrightRGB(255, 255, 0);
    if (bullets_ != nullptr) drawEnemyArray(*this, *bullets_);
    setBright(255);
}
