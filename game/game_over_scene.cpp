#include "game_over_scene.h"

#include <algorithm>

#include "game_world.h"
#include "main_frame.h"
#include "zn_joypad.h"

void GameOverScene::enter() {
    world_->setDemo(true);
    counter_ = 0;
}

int GameOverScene::textY(int counter) { return std::min(counter / 10 - 32, kTextStopY); }

void GameOverScene::update() {
    // The bomb button does not leave this scene.
    if (isPressed(PAD_SHOT) || isEscape()) frame_.changeToTitle();
    // No player and no level-up: the last level's enemies go on.
    world_->updateBackground(false);
    world_->updateEnemies();
    world_->updateBullets();
    if (world_->isSpawnDue()) world_->spawnEnemy();
    world_->updateEffects();
    world_->update(10);

    GraphTextArray& texts = world_->getTexts();
    texts.setBright(255);
    texts.addText(kTextX, textY(counter_), "game over", 9, true);
    counter_ += 10;
}
