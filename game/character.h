// The base of every moving thing: a position, a velocity made from a heading and a speed, an
// age, the tile of its graph that is drawn and a hit rectangle relative to the position.
//
// Units: pixels (positions), pixels per step (speeds), ms (ages), radians (headings). Heading 0
// points down the screen (+y) and pi/2 to the right (+x).
#pragma once
#include "dh_graph.h"
#include "rect.h"

class Character {
public:
    virtual ~Character() = default;
    virtual void update() = 0;
    // The heading; the player and the tail return their roll instead.
    virtual double getAngle() const { return angle_; }
    virtual void kill() { alive_ = false; }

    double getX() const { return x_; }
    double getY() const { return y_; }
    void setPosition(double x, double y) {
        x_ = x;
        y_ = y;
    }
    // The graph's handle of the current tile (clamped to the graph's tiles; -1 without a graph).
    int getHandle() const;
    int getFrame() const { return frame_; }
    bool isAlive() const { return alive_; }
    int getAge() const { return age_; }
    void addAge(int ms) { age_ += ms; }
    double getDirection() const { return angle_; }
    double getSpeed() const { return speed_; }
    double getVelocityX() const { return vx_; }
    double getVelocityY() const { return vy_; }
    void setHit(const Rect& r) { hit_ = r; }

    void setGraph(DhGraph* g) { graph_ = g; }
    DhGraph* getGraph() const { return graph_; }
    int getGraphWidth() const { return graph_ != nullptr ? graph_->getWidth() : 0; }
    int getGraphHeight() const { return graph_ != nullptr ? graph_->getHeight() : 0; }

    // Dead without any effect of dying.
    void clear() { alive_ = false; }
    void move() {
        x_ += vx_;
        y_ += vy_;
    }
    void setAngle(double a);
    void setMotion(double a, double s);
    void turn(double d) { setMotion(angle_ + d, speed_); }
    void accelerate(double d) { setMotion(angle_, speed_ + d); }
    double angleTo(double tx, double ty) const;
    double angleToCharacter(const Character& c) const { return angleTo(c.x_, c.y_); }
    // Turns towards the heading target by at most limit.
    void steer(double target, double limit);
    // True when the hit rectangles overlap; rectangles that only touch do not.
    bool hitTest(const Character& other) const;

protected:
    double x_ = 0.0;
    double y_ = 0.0;
    int frame_ = 0;
    DhGraph* graph_ = nullptr;
    bool alive_ = false;
    double vx_ = 0.0;
    double vy_ = 0.0;
    int age_ = 0;
    double angle_ = 0.0;
    double speed_ = 0.0;
    Rect hit_;
};

// Degrees to radians.
double degreesToRadians(int degrees);
