// One instance of every enemy kind and behaviour, wired together: the four kinds of bullet
// source in two variants each (aimed or fanned fire), the bullet and its two emitters, the
// splinter, the bomb piece and the blast.
#pragma once
#include "enemy_info.h"
#include "pattern_bullet.h"
#include "pattern_comeout.h"
#include "pattern_effect.h"

class GraphHolder;

// Kinds of bullet source, in the order chooseEnemy numbers them.
enum SourceKind {
    SOURCE_FRONT = 0,
    SOURCE_FRONT_SIDE = 1,
    SOURCE_REAR_SIDE = 2,
    SOURCE_REAR = 3,
};

class PatternSet {
public:
    // Infos to patterns, sources to their emitters, hit rectangles and layers.
    void link();
    // Every kind's graph from the graph table.
    void setGraphs(const GraphHolder& graphs);
    // A random kind for the level: front from level 0, front side from 10, rear side from 20,
    // rear from 40; one in eight fires fans.
    EnemyInfo* chooseEnemy(int level);

    // variant 1 fires aimed shots, variant 2 fans.
    EnemyInfo* getSourceInfo(SourceKind kind, int variant);
    EnemyInfo* getBulletInfo() { return &bulletInfo_; }
    EnemyInfo* getSplinterInfo() { return &splinterInfo_; }
    EnemyInfo* getBombPieceInfo() { return &bombPieceInfo_; }
    EnemyInfo* getBlastInfo() { return &blastInfo_; }

private:
    EnemyPatternComeoutFromFront front1_;
    EnemyPatternComeoutFromFront front2_;
    BulletSourceInfo front1Info_;
    BulletSourceInfo front2Info_;
    EnemyPatternComeoutFromFrontSide frontSide1_;
    EnemyPatternComeoutFromFrontSide frontSide2_;
    BulletSourceInfo frontSide1Info_;
    BulletSourceInfo frontSide2Info_;
    EnemyPatternComeoutFromRearSide rearSide1_;
    EnemyPatternComeoutFromRearSide rearSide2_;
    BulletSourceInfo rearSide1Info_;
    BulletSourceInfo rearSide2Info_;
    EnemyPatternComeoutFromRear rear1_;
    EnemyPatternComeoutFromRear rear2_;
    BulletSourceInfo rear1Info_;
    BulletSourceInfo rear2Info_;
    BulletInfo bulletInfo_;
    BulletPatternAimPlayer aimPlayer_;
    BulletInfo aimEmitterInfo_;
    BulletPatternWayShot wayShot_;
    BulletPatternSingleShot singleShot_;
    BulletInfo wayEmitterInfo_;
    SplinterInfo splinterInfo_;
    SplinterInfo bombPieceInfo_;
    SplinterPattern splinterPattern_;
    SplinterInfo blastInfo_;
    BlastPattern blastPattern_;
};
