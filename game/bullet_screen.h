// The bullets, tinted yellow.
#pragma once
#include "my_screen.h"

class EnemyArray;

class BulletScreen : public MyScreen {
public:
    void draw() override;
    void setBullets(EnemyArray* bullets) { bullets_ = bullets; }

private:
    EnemyArray* bullets_ = nullptr;
};
