#include "player_tail.h"

#include <numbers>

#include "enemy.h"
#include "enemy_array.h"
#include "game_world.h"
#include "pattern_set.h"
#include "player.h"

void PlayerTailPattern::update(PlayerTail& tail) {
    addAge(tail);
    if (tail.getAge() > 200) tail.kill();
}

void PlayerTailPattern::onTouch(PlayerTail& tail, double, double amount) {
    theWorld->addTension(amount);
    getEffects().spawnFrom(tail, getPatternSet().getSplinterInfo(), 30);
}

void PlayerTail::init(const Player& player) {
    hit_.set(-3, -3, 3, 3);
    x_ = player.getX();
    y_ = player.getY();
    roll_ = player.getRotation();
    alive_ = true;
    age_ = 0;
}

void PlayerTail::update() { behaviour_.update(*this); }

double PlayerTail::getAngle() const { return roll_ * std::numbers::pi / 40.0; }

void PlayerTail::onTouch(double direction, double amount) {
    behaviour_.onTouch(*this, direction, amount);
}

void PlayerTailArray::setGraph(DhGraph* g) {
    for (uint32_t i = 0; i < size(); ++i) at(i).setGraph(g);
}

void PlayerTailArray::add(const Player& player) {
    for (uint32_t i = 0; i < size(); ++i) {
        if (!at(i).isAlive()) {
            at(i).init(player);
            return;
        }
    }
}

void PlayerTailArray::updateAll() {
    for (uint32_t i = 0; i < size(); ++i) {
        if (at(i).isAlive()) at(i).update();
    }
}

void PlayerTailArray::killAll() {
    for (uint32_t i = 0; i < size(); ++i) at(i).kill();
}

void PlayerTailArray::clearAll() {
    for (uint32_t i = 0; i < size(); ++i) at(i).clear();
}

void PlayerTailArray::touch(const Enemy& bullet) {
    for (uint32_t i = 0; i < size(); ++i) {
        PlayerTail& tail = at(i);
        if (tail.isAlive() && tail.hitTest(bullet)) {
            tail.onTouch(bullet.getDirection(), bullet.getLevel());
            return;
        }
    }
}
