#include "frame_screen.h"

#include <cstring>

#include "dh_graph.h"
#include "game_world.h"

void FrameScreen::draw() {
    drawFrame();
    drawHud();
}

void FrameScreen::drawFrame() {
    // A graph without tiles or without a size has nothing to lay (and the loops would not
    // move on).
    if (tiles_ == nullptr || tiles_->getCount() <= kTileLeft) return;
    const int tw = tiles_->getWidth();
    const int th = tiles_->getHeight();
    if (tw <= 0 || th <= 0) return;
    for (int y = 0; y < kScreenHeight; y += th) {
        for (int x = area_.left; x > 0; x -= tw) {
            drawGraph(x - tw, y, tiles_->getHandle(kTileLeft), false);
        }
        // The right frame starts on the field's last column.
        for (int x = area_.right; x < kScreenWidth; x += tw) {
            const int tile = x == area_.right ? kTileRightEdge : kTileRight;
            drawGraph(x, y, tiles_->getHandle(tile), false);
        }
    }
}

void FrameScreen::drawLabel(int y, const char* label) {
    drawText(kHudX, y, label, static_cast<int>(std::strlen(label)), false);
}

void FrameScreen::drawHud() {
    if (world_ == nullptr) return;
    drawLabel(30, "HISCORE");
    drawNumber(kHudX, 50, world_->getHiScore(), 9, false);
    drawLabel(80, "SCORE");
    drawNumber(kHudX, 100, world_->getScore(), 9, false);
    drawLabel(130, "LEVEL");
    drawNumber(kHudX, 150, world_->getLevel(), 3, false);
    drawLabel(180, "LIFE");
    drawNumber(kHudX, 200, world_->getLives(), 1, true);
    drawLabel(250, "BOMB");
    drawNumber(kHudX, 270, world_->getBombs(), 1, true);
    drawLabel(320, "CHARGE");
    drawNumber(kHudX, 340, world_->getChargePercent(), 3, false);
    drawLabel(370, "SURVIVAL");
    drawNumber(kHudX, 390, world_->getSurvival() / 10, 5, false);
    drawLabel(420, "TENSION");
    drawNumber(kHudX, 440, world_->getTension() / 10, 5, false);
}
