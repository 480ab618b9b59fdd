// The short pause before play: "READY?" for 101 steps while the ship can already move.
#pragma once
#include "scene.h"

class ReadyScene : public Scene {
public:
    static constexpr int kPauseMs = 1000;

    using Scene::Scene;
    void update() override;
    void enter() override;

private:
    int counter_ = 0;  // ms since the scene was entered
};
