// The table of the five best scores with the date and time each was made ("TOP RECORD").
#pragma once
#include "scene.h"

class RankingScene : public Scene {
public:
    using Scene::Scene;
    void update() override;
    void enter() override {}

private:
    void addTexts();
};
