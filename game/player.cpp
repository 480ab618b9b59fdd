#include "player.h"

#include <algorithm>
#include <numbers>

#include "player_pattern.h"

Player::Player() = default;

void Player::update() {
    if (pattern_ != nullptr) pattern_->update(*this);
}

double Player::getAngle() const { return roll_ * std::numbers::pi / 40.0; }

void Player::hit() {
    if (!alive_ || isInvincible() || isRespawnPending()) return;
    if (pattern_ != nullptr) pattern_->onHit(*this);
}

void Player::reset(bool autoBomb) {
    autoBombEnabled_ = autoBomb;
    lives_ = 2;
    bombs_ = 0;
    bombTime_ = 0;
    // A boost held at the end of the last game must not carry into this one.
    boost_ = false;
    charge_.reset();
    if (pattern_ != nullptr) pattern_->respawn(*this);
}

void Player::startBomb() {
    bombs_ -= 1;
    invincible_ = 5000;
    bombTime_ = 2000;
    autoBombArmed_ = false;
}

void Player::gainBomb() {
    charge_.consume();
    bombs_ += 1;
}

void Player::addCharge(int v) {
    if (bombs_ < 9) charge_.add(v);
}

void Player::rotate() {
    roll_ += rollStep_;
    if (roll_ % 40 == 0) rollStep_ = 0;
    roll_ = (roll_ + 80) % 80;
}

int Player::getBarrierTile() const {
    int tile = std::max(0, 5 - invincible_ / 250);
    int count = barrierGraph_ != nullptr ? barrierGraph_->getCount() : 0;
    return clampTileIndex(tile, count);
}

int Player::getBarrierHandle() const {
    if (barrierGraph_ == nullptr) return -1;
    return barrierGraph_->getClampedHandle(getBarrierTile());
}
