#include "play_scene.h"

#include "game_world.h"
#include "main_frame.h"
#include "zn_app.h"
#include "zn_joypad.h"

void PlayScene::enter() {
    world_->setDemo(false);
    world_->playSound(GAME_SOUND_MUSIC, SOUND_PLAY_LOOP, 128);
}

void PlayScene::update() {
    // Leaving switches the screens, but the rest of the step still runs: the world gets one
    // more update in the step that ends the game.
    if (isEscape()) {
        world_->recordScore();
        frame_.changeToLevelSelect();
        world_->playSound(GAME_SOUND_MUSIC, SOUND_STOP, 255);
    }
    if (world_->isGameOver()) {
        world_->recordScore();
        frame_.changeToGameOver();
        world_->playSound(GAME_SOUND_MUSIC, SOUND_STOP, 255);
    }
    if (isPressed(PAD_CAPTURE)) theApp.saveScreenShot();

    world_->updateBackground(true);
    world_->updateEnemies();
    world_->updateBullets();
    if (world_->isSpawnDue()) world_->spawnEnemy();
    if (world_->isLevelUpDue()) world_->levelUp();
    world_->updatePlayer();
    world_->updateEffects();
    world_->update(10);
}
