#include "ready_scene.h"

#include "game_world.h"
#include "main_frame.h"

void ReadyScene::enter() {
    world_->setDemo(true);
    counter_ = 0;
}

void ReadyScene::update() {
    if (isEscape()) frame_.changeToLevelSelect();
    world_->updateBackground(false);
    world_->updatePlayer();
    counter_ += 10;
    world_->getTexts().addText(100, 100, "READY?", 6, true);
    // The counter passes 1000 in the 101st step.
    if (counter_ > kPauseMs) frame_.changeToPlay();
}
