// After the last life: "game over" slides down one pixel per step and stops at y 200, while
// the enemies keep coming around the empty field. The shot button or Escape returns to the
// title.
#pragma once
#include "scene.h"

class GameOverScene : public Scene {
public:
    static constexpr int kTextX = 60;
    static constexpr int kTextStopY = 200;

    using Scene::Scene;
    void update() override;
    void enter() override;
    // The text's top edge in this step: one pixel per step from -32, at most 200.
    static int textY(int counter);

private:
    int counter_ = 0;  // ms since the scene was entered
};
