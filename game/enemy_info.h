// The kind of an enemy: its graph, behaviour, hit rectangle and layer, and how it picks its
// tile and how long it may stay out of view.
#pragma once
#include "rect.h"

class DhGraph;
class Enemy;
class EnemyPattern;

class EnemyInfo {
public:
    virtual int getFrame(const Enemy& enemy) const = 0;
    // Age in ms up to which the kind may stay out of view.
    virtual int getOffscreenGrace() const = 0;
    virtual bool isBullet() const { return false; }

    // The enemy takes this kind: info, pattern, graph and hit rectangle.
    void apply(Enemy& enemy);
    void setPattern(EnemyPattern* p) { pattern_ = p; }
    void setGraph(DhGraph* g) { graph_ = g; }
    DhGraph* getGraph() const { return graph_; }
    void setHit(int left, int top, int right, int bottom) { hit_.set(left, top, right, bottom); }
    void setFrontLayer(bool front) { frontLayer_ = front; }
    bool isFrontLayer() const { return frontLayer_; }

protected:
    ~EnemyInfo() = default;

private:
    DhGraph* graph_ = nullptr;
    EnemyPattern* pattern_ = nullptr;
    Rect hit_;
    bool frontLayer_ = false;
};

// An enemy that fires: drawn with its first tile, 2 s to come into view.
class BulletSourceInfo : public EnemyInfo {
public:
    int getFrame(const Enemy&) const override { return 0; }
    int getOffscreenGrace() const override { return 2000; }
};

// A bullet or an emitter: its life never runs down, and it dies as soon as it leaves the view.
class BulletInfo : public EnemyInfo {
public:
    int getFrame(const Enemy&) const override { return 0; }
    int getOffscreenGrace() const override { return 0; }
    bool isBullet() const override { return true; }
};

// Splinters, bomb pieces and blasts: the tiles run from the first to the last as the life runs
// out.
class SplinterInfo : public EnemyInfo {
public:
    int getFrame(const Enemy& enemy) const override;
    int getOffscreenGrace() const override { return 0; }
};
