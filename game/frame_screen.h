// The frame around the playing field and the heads-up display on its right: hi score, score,
// level, spare lives, bombs, bomb charge, survival and tension. It is drawn in every scene, so
// the title and the menus show the last game's values.
#pragma once
#include "my_screen.h"
#include "rect.h"

class DhGraph;
class GameWorld;

class FrameScreen : public MyScreen {
public:
    static constexpr int kScreenWidth = 640;
    static constexpr int kScreenHeight = 480;
    static constexpr int kHudX = 423;
    // Frame tiles: 0 the right frame's first column, 1 the rest of the right part, 3 the
    // left margin.
    static constexpr int kTileRightEdge = 0;
    static constexpr int kTileRight = 1;
    static constexpr int kTileLeft = 3;

    void draw() override;
    // The playing field the frame surrounds: left x, top y, right x + w - 1, bottom y + h - 1.
    void setArea(int x, int y, int w, int h) { area_.set(x, y, x + w - 1, y + h - 1); }
    void setGraph(DhGraph* tiles) { tiles_ = tiles; }
    void setWorld(GameWorld* world) { world_ = world; }

private:
    void drawFrame();
    void drawHud();
    void drawLabel(int y, const char* label);

    DhGraph* tiles_ = nullptr;
    Rect area_;
    GameWorld* world_ = nullptr;
};
