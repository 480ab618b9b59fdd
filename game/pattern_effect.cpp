#include "pattern_effect.h"

#include <cstdlib>

#include "enemy.h"

void SplinterPattern::init(Enemy& splinter) {
    splinter.setLife((std::rand() % 10 + 1) * 100);
    splinter.setMotion(degreesToRadians(std::rand() % 360), splinter.getLevel() * 0.1);
}

void SplinterPattern::update(Enemy& splinter) {
    if (!isInArea(splinter)) return;
    splinter.consumeLife(FRAME_STEP);
    if (splinter.getLife() <= 0) splinter.kill();
}

void BlastPattern::init(Enemy& blast) {
    blast.setLife(500);
    blast.accelerate((blast.getLevel() + 1) * 0.1);
}

void BlastPattern::update(Enemy& blast) {
    blast.consumeLife(FRAME_STEP);
    if (blast.getLife() <= 0) blast.kill();
}
