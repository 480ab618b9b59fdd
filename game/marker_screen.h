// The firing markers: a warning over every enemy in the last half second before it fires,
// running through the 20 tiles of the marker graph.
#pragma once
#include "my_screen.h"

class DhGraph;
class EnemyArray;

class MarkerScreen : public MyScreen {
public:
    static constexpr int kWarningMs = 500;

    void draw() override;
    void setEnemies(EnemyArray* front, EnemyArray* rear) {
        front_ = front;
        rear_ = rear;
    }
    void setGraph(DhGraph* markers) { markers_ = markers; }

private:
    void drawMarkers(const EnemyArray& enemies);

    EnemyArray* front_ = nullptr;
    EnemyArray* rear_ = nullptr;
    DhGraph* markers_ = nullptr;
};
