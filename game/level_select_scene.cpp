#include "level_select_scene.h"

#include <cstring>

#include "game_world.h"
#include "main_frame.h"
#include "zn_joypad.h"

void LevelSelectScene::update() {
    world_->updateBackground(false);
    if (isPressed(PAD_UP)) world_->moveStartLevel(true);
    if (isPressed(PAD_DOWN)) world_->moveStartLevel(false);
    if (isPressed(PAD_SHOT)) {
        frame_.changeToReady();
    } else if (isPressed(PAD_BOMB) || isEscape()) {
        frame_.changeToTitle();
    }
    addTexts();
}

void LevelSelectScene::addTexts() {
    struct Line {
        int choice;
        int y;
        const char* text;
    };
    static constexpr Line kLines[] = {
        {0, 100, "beginner"}, {0, 120, "start level  0"}, {0, 140, "and auto bomb"},
        {1, 170, "easy"},     {1, 190, "start level 10"},
        {2, 240, "normal"},   {2, 260, "start level 20"},
        {3, 310, "hard"},     {3, 330, "start level 40"},
        {4, 380, "extreme"},  {4, 400, "start level 99"},
    };
    GraphTextArray& texts = world_->getTexts();
    texts.setBright(255);
    texts.addText(68, 60, "SELECT START LEVEL", 18, false);
    const int choice = world_->getStartLevel();
    for (const Line& line : kLines) {
        texts.setBright(line.choice == choice ? 255 : 128);
        texts.addText(100, line.y, line.text, static_cast<int>(std::strlen(line.text)), false);
    }
}
