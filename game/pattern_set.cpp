#include "pattern_set.h"

#include <cstdlib>

#include "graph_holder.h"

namespace {

// Graph slots of the graph table.
constexpr int kGraphBullet = 2;
constexpr int kGraphRearAimed = 4;
constexpr int kGraphRearFan = 5;
constexpr int kGraphFrontAimed = 6;
constexpr int kGraphFrontFan = 7;
constexpr int kGraphSplinter = 11;
constexpr int kGraphBombPiece = 12;
constexpr int kGraphBlast = 15;

}  // namespace

void PatternSet::link() {
    struct Source {
        BulletSourcePattern* pattern;
        BulletSourceInfo* info;
        EnemyInfo* emitter;
        bool front;
    };
    const Source sources[] = {
        {&front1_, &front1Info_, &aimEmitterInfo_, true},
        {&front2_, &front2Info_, &wayEmitterInfo_, true},
        {&frontSide1_, &frontSide1Info_, &aimEmitterInfo_, true},
        {&frontSide2_, &frontSide2Info_, &wayEmitterInfo_, true},
        {&rearSide1_, &rearSide1Info_, &aimEmitterInfo_, false},
        {&rearSide2_, &rearSide2Info_, &wayEmitterInfo_, false},
        {&rear1_, &rear1Info_, &aimEmitterInfo_, false},
        {&rear2_, &rear2Info_, &wayEmitterInfo_, false},
    };
    for (const Source& s : sources) {
        s.pattern->setBulletInfo(s.emitter);
        s.info->setPattern(s.pattern);
        s.info->setFrontLayer(s.front);
        // Only the front layer can touch the player; the rear layer has no hit rectangle.
        if (s.front) s.info->setHit(-10, -10, 10, 10);
    }

    bulletInfo_.setPattern(&singleShot_);
    bulletInfo_.setHit(-3, -3, 3, 3);
    aimEmitterInfo_.setPattern(&aimPlayer_);
    aimEmitterInfo_.setHit(-3, -3, 3, 3);
    wayEmitterInfo_.setPattern(&wayShot_);
    wayEmitterInfo_.setHit(-3, -3, 3, 3);
    splinterInfo_.setPattern(&splinterPattern_);
    bombPieceInfo_.setPattern(&splinterPattern_);
    blastInfo_.setPattern(&blastPattern_);
}

void PatternSet::setGraphs(const GraphHolder& graphs) {
    front1Info_.setGraph(graphs.get(kGraphFrontAimed));
    front2Info_.setGraph(graphs.get(kGraphFrontFan));
    frontSide1Info_.setGraph(graphs.get(kGraphFrontAimed));
    frontSide2Info_.setGraph(graphs.get(kGraphFrontFan));
    rearSide1Info_.setGraph(graphs.get(kGraphRearAimed));
    rearSide2Info_.setGraph(graphs.get(kGraphRearFan));
    rear1Info_.setGraph(graphs.get(kGraphRearAimed));
    rear2Info_.setGraph(graphs.get(kGraphRearFan));
    bulletInfo_.setGraph(graphs.get(kGraphBullet));
    aimEmitterInfo_.setGraph(graphs.get(kGraphBullet));
    wayEmitterInfo_.setGraph(graphs.get(kGraphBullet));
    splinterInfo_.setGraph(graphs.get(kGraphSplinter));
    bombPieceInfo_.setGraph(graphs.get(kGraphBombPiece));
    blastInfo_.setGraph(graphs.get(kGraphBlast));
}

EnemyInfo* PatternSet::getSourceInfo(SourceKind kind, int variant) {
    bool fan = variant == 2;
    switch (kind) {
    case SOURCE_FRONT:
        return fan ? &front2Info_ : &front1Info_;
    case SOURCE_FRONT_SIDE:
        return fan ? &frontSide2Info_ : &frontSide1Info_;
    case SOURCE_REAR_SIDE:
        return fan ? &rearSide2Info_ : &rearSide1Info_;
    case SOURCE_REAR:
    default:
        return fan ? &rear2Info_ : &rear1Info_;
    }
}

EnemyInfo* PatternSet::chooseEnemy(int level) {
    int r = std::rand();
    int variant = (std::rand() & 7) == 0 ? 2 : 1;
    int k;
    if (level < 10) {
        k = r & 3;
    } else if (level < 20) {
        k = r & 7;
    } else if (level < 40) {
        k = r % 11;
    } else {
        k = r % 12;
    }
    SourceKind kind = k < 4 ? SOURCE_FRONT : k < 8 ? SOURCE_FRONT_SIDE : k < 11 ? SOURCE_REAR_SIDE
                                                                                : SOURCE_REAR;
    return getSourceInfo(kind, variant);
}
