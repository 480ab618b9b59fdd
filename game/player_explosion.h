// The player's explosion: two rings of 20 blasts thrown in random directions, then a second
// of waiting. It is never drawn itself.
#pragma once
#include "character.h"
#include "pattern.h"

class PlayerExplosion;

class PlayerExplosionPattern : public Pattern {
public:
    void start(PlayerExplosion& explosion);
    void update(PlayerExplosion& explosion);
};

class PlayerExplosion : public Character {
public:
    void start(double x, double y);
    void update() override;

private:
    friend class PlayerExplosionPattern;
    PlayerExplosionPattern pattern_;
};
