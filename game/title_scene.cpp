#include "title_scene.h"

#include <cstring>

#include "game_world.h"
#include "main_frame.h"
#include "zn_joypad.h"

void TitleScene::update() {
    if (isEscape()) frame_.exit();
    world_->updateBackground(false);
    if (isPressed(PAD_UP)) cursor_ = (cursor_ - 1 + kItems) % kItems;
    if (isPressed(PAD_DOWN)) cursor_ = (cursor_ + 1 + kItems) % kItems;
    if (isPressed(PAD_SHOT)) {
        switch (cursor_) {
            case 0: frame_.changeToLevelSelect(); break;
            case 1: frame_.changeToRanking(); break;
            default: frame_.exit(); break;
        }
    }
    addTexts();
}

void TitleScene::addTexts() {
    GraphTextArray& texts = world_->getTexts();
    texts.addText(100, 100, "VORNAST", 7, true);
    texts.addText(70, 460, kCredit, static_cast<int>(std::strlen(kCredit)), false);
    struct Item {
        const char* text;
        int y;
    };
    static constexpr Item kMenu[kItems] = {{"START", 250}, {"RECORD", 280}, {"EXIT", 310}};
    for (int i = 0; i < kItems; ++i) {
        texts.setBright(i == cursor_ ? 255 : 128);
        texts.addText(100, kMenu[i].y, kMenu[i].text, static_cast<int>(std::strlen(kMenu[i].text)),
                      false);
    }
}
