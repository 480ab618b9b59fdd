// The start-level choice: five levels, the first with automatic bombs. The choice is the
// world's (it is saved with the high scores when a game ends).
#pragma once
#include "scene.h"

class LevelSelectScene : public Scene {
public:
    using Scene::Scene;
    void update() override;
    void enter() override {}

private:
    void addTexts();
};
