#include "player_screen.h"

#include <algorithm>
#include <numbers>

#include "player.h"
#include "player_tail.h"

void PlayerScreen::draw() {
    drawTails();
    setBlendNone();
    if (player_ == nullptr) return;
    drawBarrier();
    if (player_->isAlive()) {
        drawGraphRotated(player_->getX(), player_->getY(), 1.0, player_->getAngle(),
                         player_->getHandle(), true);
    }
}

void PlayerScreen::drawTails() {
    if (tails_ == nullptr) return;
    // The newer a piece, the more opaque (age 10 ms: 245, age 200 ms: 55); the tail's roll is
    // drawn mirrored against the ship's.
    for (uint32_t i = 0; i < tails_->size(); ++i) {
        const PlayerTail& tail = tails_->at(i);
        if (!tail.isAlive()) continue;
        setBlendAlpha(std::clamp(255 - tail.getAge(), 0, 255));
        drawGraphRotated(tail.getX(), tail.getY(), 1.0, -tail.getAngle(), tail.getHandle(), true);
    }
}

void PlayerScreen::drawBarrier() {
    if (!player_->isInvincible()) return;
    // Two rings turning against each other; the tile runs through the six barrier tiles in
    // the last 1.25 s of the invincibility.
    const double angle = player_->getInvincible() * std::numbers::pi / 480.0;
    const int handle = player_->getBarrierHandle();
    drawGraphRotated(player_->getX(), player_->getY(), 1.0, angle, handle, true);
    drawGraphRotated(player_->getX(), player_->getY(), 1.0, -angle, handle, true);
}
