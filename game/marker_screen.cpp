#include "marker_screen.h"

#include "dh_graph.h"
#include "enemy_array.h"

void MarkerScreen::draw() {
    if (markers_ == nullptr || markers_->getCount() == 0) return;
    if (rear_ != nullptr) drawMarkers(*rear_);
    if (front_ != nullptr) drawMarkers(*front_);
}

void MarkerScreen::drawMarkers(const EnemyArray& enemies) {
    for (uint32_t i = 0; i < enemies.size(); ++i) {
        const Enemy& e = enemies.at(i);
        if (!e.isAlive() || e.getLife() >= kWarningMs) continue;
        const int tile = e.getMarkerTile(markers_->getCount());
        drawGraphRotated(e.getX(), e.getY(), 1.0, 0.0, markers_->getHandle(tile), true);
    }
}
