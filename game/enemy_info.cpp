#include "enemy_info.h"

#include "dh_graph.h"
#include "enemy.h"

void EnemyInfo::apply(Enemy& enemy) {
    enemy.info_ = this;
    enemy.pattern_ = pattern_;
    enemy.setGraph(graph_);
    enemy.setHit(hit_);
}

int SplinterInfo::getFrame(const Enemy& enemy) const {
    int tiles = getGraph() != nullptr ? getGraph()->getCount() : 0;
    int last = tiles - 1;
    int frame = last;
    if (enemy.getMaxLife() != 0) frame = last - enemy.getLife() * last / enemy.getMaxLife();
    return clampTileIndex(frame, tiles);
}
