#include "pattern.h"

#include "character.h"
#include "game_world.h"

GameWorld* theWorld = nullptr;
Rect PlayArea;

void Pattern::setWorld(GameWorld* world) { theWorld = world; }
Player& Pattern::getPlayer() { return theWorld->getPlayer(); }
EnemyArray& Pattern::getFrontEnemies() { return theWorld->getFrontEnemies(); }
EnemyArray& Pattern::getRearEnemies() { return theWorld->getRearEnemies(); }
EnemyArray& Pattern::getBullets() { return theWorld->getBullets(); }
EnemyArray& Pattern::getEffects() { return theWorld->getEffects(); }
EnemyArray& Pattern::getFrontBlasts() { return theWorld->getFrontBlasts(); }
EnemyArray& Pattern::getRearBlasts() { return theWorld->getRearBlasts(); }
PlayerTailArray& Pattern::getTails() { return theWorld->getTails(); }
PatternSet& Pattern::getPatternSet() { return theWorld->getPatternSet(); }

void Pattern::setPlayArea(int x, int y, int w, int h) { PlayArea.set(x, y, x + w - 1, y + h - 1); }

void Pattern::setPosition(Character& c, double ox, double oy) {
    c.setPosition(PlayArea.left + ox, PlayArea.top + oy);
}

bool Pattern::isInArea(const Character& c) {
    return PlayArea.left <= c.getX() && c.getX() <= PlayArea.right && PlayArea.top <= c.getY() &&
           c.getY() <= PlayArea.bottom;
}

bool Pattern::isVisible(const Character& c) {
    int w = c.getGraphWidth();
    int h = c.getGraphHeight();
    return PlayArea.left - w <= c.getX() && c.getX() <= PlayArea.right + w &&
           PlayArea.top - h <= c.getY() && c.getY() <= PlayArea.bottom + h;
}

void Pattern::addAge(Character& c) { c.addAge(FRAME_STEP); }
