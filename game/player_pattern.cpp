#include "player_pattern.h"

#include "enemy_array.h"
#include "game_world.h"
#include "pattern_set.h"
#include "player.h"
#include "zn_joypad.h"

namespace {

struct DirectionMove {
    int dx;
    int dy;
    int rollStep;   // -1, +1, or 0 for unchanged
};

// Movement by the four direction bits (1 down, 2 left, 4 right, 8 up): opposite directions
// cancel, three directions move along the odd one out.
constexpr DirectionMove kMoves[16] = {
    {0, 0, 0},    // none
    {0, 3, 0},    // down
    {-3, 0, -1},  // left
    {-2, 2, -1},  // down + left
    {3, 0, 1},    // right
    {2, 2, 1},    // down + right
    {0, 0, 0},    // left + right
    {0, 3, 0},    // down + left + right
    {0, -3, 0},   // up
    {0, 0, 0},    // down + up
    {-2, -2, -1}, // left + up
    {-3, 0, -1},  // down + left + up
    {2, -2, 1},   // right + up
    {3, 0, 1},    // down + right + up
    {0, -3, 0},   // left + right + up
    {0, 0, 0},    // all four
};

}  // namespace

void PlayerPattern::update(Player& player) {
    if (player.isBombing()) {
        player.tickBomb(FRAME_STEP);
        getEffects().spawnFrom(player, getPatternSet().getBombPieceInfo(), 70);
        getBullets().killAll();
        getFrontEnemies().killAll();
        getRearEnemies().killAll();
    }
    if (player.isRespawnPending()) {
        player.tickRespawn(FRAME_STEP);
        if (!player.isRespawnPending()) {
            player.lives_ -= 1;
            respawn(player);
            player.invincible_ = 3000;
        }
    } else {
        control(player);
    }
    if (player.isInvincible()) player.tickInvincible(FRAME_STEP);
}

void PlayerPattern::control(Player& player) {
    uint32_t direction = 0;
    if (!player.demo_) {
        charge(player);
        player.boost_ = joypad_ != nullptr && (joypad_->getShot() & 1) != 0;
        if (joypad_ != nullptr && joypad_->getBomb() == 1 && player.bombs_ > 0 &&
            !player.isBombing()) {
            bomb(player);
        }
    }
    if (joypad_ != nullptr) direction = joypad_->getDirection();

    const DirectionMove& m = kMoves[direction & 15];
    player.x_ += m.dx;
    player.y_ += m.dy;
    if (m.rollStep != 0) player.rollStep_ = m.rollStep;

    const Rect& hit = player.hit_;
    if (player.x_ < PlayArea.left - hit.left) {
        player.x_ = PlayArea.left - hit.left;
    } else if (player.x_ > PlayArea.right - hit.right) {
        player.x_ = PlayArea.right - hit.right;
    }
    if (player.y_ < PlayArea.top - hit.top) {
        player.y_ = PlayArea.top - hit.top;
    } else if (player.y_ > PlayArea.bottom - hit.bottom) {
        player.y_ = PlayArea.bottom - hit.bottom;
    }

    player.rotate();
}

void PlayerPattern::charge(Player& player) {
    int choice = theWorld->getStartLevel();
    if (choice <= 0) return;
    player.addCharge(choice);
    if (player.isChargeFull()) {
        player.gainBomb();
        theWorld->playSound(4, 3, 255);
    }
}

void PlayerPattern::bomb(Player& player) {
    player.startBomb();
    theWorld->playSound(3, 3, 255);
}

void PlayerPattern::onHit(Player& player) {
    if (player.autoBombEnabled_ && player.autoBombArmed_) {
        bomb(player);
        player.bombs_ = 0;
        return;
    }
    player.alive_ = false;
    player.respawnWait_ = 2000;
    theWorld->explodePlayer();
}

void PlayerPattern::respawn(Player& player) {
    player.setPosition(PlayArea.left + getAreaWidth() / 2, PlayArea.top + 420);
    if (player.bombs_ < 3) player.bombs_ = 3;
    player.autoBombArmed_ = player.autoBombEnabled_;
    player.roll_ = 0;
    player.rollStep_ = 0;
    // A boost held when the ship died must not carry over to the new ship.
    player.boost_ = false;
    player.hit_.set(-3, -3, 3, 3);
    player.alive_ = true;
    player.respawnWait_ = 0;
    player.invincible_ = 0;
}
