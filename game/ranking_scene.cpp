#include "ranking_scene.h"

#include <cstring>

#include "game_world.h"
#include "main_frame.h"
#include "zn_joypad.h"

void RankingScene::update() {
    if (isPressed(PAD_SHOT) || isPressed(PAD_BOMB) || isEscape()) frame_.changeToTitle();
    world_->updateBackground(false);
    addTexts();
}

void RankingScene::addTexts() {
    GraphTextArray& texts = world_->getTexts();
    texts.addText(40, 60, "TOP RECORD", 10, true);
    HiScoreArray& table = world_->getHiScores();
    for (uint32_t i = 0; i < table.size(); ++i) {
        const HiScore& record = table.at(i);
        const int y = 120 + 50 * static_cast<int>(i);
        texts.addNumber(60, y, record.getScore(), 9, false);
        char when[32];
        record.formatDateTime(when, sizeof(when));
        // 19 characters for a date and time in range; a damaged record's longer text is cut.
        texts.addText(60, y + 20, when, 19, false);
    }
    texts.addText(180, 410, "PRESS BUTTON", 12, false);
    texts.addText(180, 430, "   TO RETURN", 12, false);
}
