// Play: the world's rules run every step until the last life is lost or Escape is pressed;
// either way the score is recorded and the music stops.
#pragma once
#include "scene.h"

class PlayScene : public Scene {
public:
    using Scene::Scene;
    void update() override;
    void enter() override;
};
