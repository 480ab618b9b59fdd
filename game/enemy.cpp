#include "enemy.h"

#include "enemy_info.h"
#include "enemy_pattern.h"

void Enemy::start(EnemyInfo* info, int level) {
    info->apply(*this);
    level_ = level;
    life_ = 0;
    maxLife_ = 0;
    speed_ = 0.0;
    vx_ = 0.0;
    vy_ = 0.0;
    age_ = 0;
    alive_ = true;
}

void Enemy::init(EnemyInfo* info, int level) {
    start(info, level);
    pattern_->init(*this);
}

void Enemy::initFrom(const Character& source, EnemyInfo* info, int level) {
    start(info, level);
    x_ = source.getX();
    y_ = source.getY();
    angle_ = source.getDirection();
    pattern_->init(*this);
}

void Enemy::update() {
    age_ += FRAME_STEP;
    move();
    pattern_->step(*this);
    frame_ = info_->getFrame(*this);
}

void Enemy::kill() {
    if (pattern_ != nullptr) pattern_->onDeath(*this);
    alive_ = false;
}

void Enemy::consumeLife(int dt) {
    if (!info_->isBullet()) life_ -= dt;
}

bool Enemy::isOffscreenTooLong() const { return age_ > info_->getOffscreenGrace(); }

bool Enemy::isFrontLayer() const { return info_ != nullptr && info_->isFrontLayer(); }

int Enemy::getMarkerTile(int tileCount) const {
    return clampTileIndex(19 - life_ * 19 / 500, tileCount);
}
