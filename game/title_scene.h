// The title menu: START, RECORD and EXIT. The cursor is kept between visits.
#pragma once
#include "scene.h"

class TitleScene : public Scene {
public:
    static constexpr int kItems = 3;
    // The credit line under the title, in the small font.
    static constexpr const char* kCredit = "VORNAST TEAM 2026";

    using Scene::Scene;
    void update() override;
    void enter() override {}
    int getCursor() const { return cursor_; }

private:
    void addTexts();

    int cursor_ = 0;
};
