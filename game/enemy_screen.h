// One pool of enemies (front or rear sources, their blasts, or the effects), each drawn
// rotated to its heading.
#pragma once
#include "my_screen.h"

class EnemyArray;

class EnemyScreen : public MyScreen {
public:
    void draw() override;
    void setEnemies(EnemyArray* enemies) { enemies_ = enemies; }

private:
    EnemyArray* enemies_ = nullptr;
};

// Every live entry of the pool, centred on its position and turned by minus its heading.
void drawEnemyArray(ZnScreen& screen, const EnemyArray& enemies);
