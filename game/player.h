// The player's ship: the character steered by the joypad, with its lives, bombs, bomb charge,
// barrier (invincibility), roll and respawn. Its behaviour is the world's PlayerPattern.
#pragma once
#include "character.h"
#include "charge_meter.h"

class PlayerPattern;

class Player : public Character {
public:
    Player();

    void update() override;
    // The roll as an angle.
    double getAngle() const override;

    // Hit by a bullet or an enemy: counts only while alive, not invincible and not waiting
    // to come back.
    void hit();
    // A new game: lives 2, bombs topped up to 3 by the respawn, charge reset.
    void reset(bool autoBomb);
    void addLife() { ++lives_; }
    // Fires a bomb: one bomb fewer, 5000 ms of barrier, 2000 ms of bomb, auto bomb disarmed.
    void startBomb();
    // A charged bomb: the meter gives up its threshold and a bomb is added.
    void gainBomb();
    // Charges only while the player holds fewer than 9 bombs.
    void addCharge(int v);
    bool isChargeFull() const { return charge_.isFull(); }
    int getChargePercent() const { return charge_.getPercent(); }
    const ChargeMeter& getCharge() const { return charge_; }
    bool hasAutoBomb() const { return autoBombEnabled_ && autoBombArmed_; }
    bool isBombing() const { return bombTime_ > 0; }
    // The shot button is held, the ship is alive and no bomb is active.
    bool isBoosting() const { return boost_ && alive_ && !isBombing(); }
    bool isInvincible() const { return invincible_ > 0; }
    bool isRespawnPending() const { return respawnWait_ > 0; }
    void tickBomb(int dt) { bombTime_ -= dt; }
    void tickInvincible(int dt) { invincible_ -= dt; }
    void tickRespawn(int dt) { respawnWait_ -= dt; }
    // One step of roll: a half turn (0 or 40) stops the roll.
    void rotate();
    int getRotation() const { return roll_; }
    int getRollStep() const { return rollStep_; }
    int getLives() const { return lives_; }
    int getBombs() const { return bombs_; }
    int getBombTime() const { return bombTime_; }
    int getInvincible() const { return invincible_; }
    int getRespawnWait() const { return respawnWait_; }
    bool isDemo() const { return demo_; }
    void setDemo(bool demo) { demo_ = demo; }
    void setPattern(PlayerPattern* p) { pattern_ = p; }
    void setBarrierGraph(DhGraph* g) { barrierGraph_ = g; }
    // Barrier tile max(0, 5 - invincible / 250), clamped to the barrier graph's tiles.
    int getBarrierTile() const;
    int getBarrierHandle() const;

private:
    friend class PlayerPattern;

    PlayerPattern* pattern_ = nullptr;
    int invincible_ = 0;
    int respawnWait_ = 0;
    DhGraph* barrierGraph_ = nullptr;
    int roll_ = 0;
    int rollStep_ = 0;
    bool boost_ = false;
    int bombTime_ = 0;
    int lives_ = 0;
    int bombs_ = 0;
    ChargeMeter charge_;
    bool autoBombEnabled_ = false;
    bool autoBombArmed_ = false;
    bool demo_ = false;
};
