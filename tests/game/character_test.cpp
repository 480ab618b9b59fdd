#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "character.h"
#include "pattern.h"

namespace {

constexpr double kPi = std::numbers::pi;

class Dot : public Character {
public:
    void update() override {}
    void place(double x, double y, int l, int t, int r, int b) {
        setPosition(x, y);
        Rect rect;
        rect.set(l, t, r, b);
        setHit(rect);
    }
};

TEST(CharacterTest, HeadingZeroPointsDownAndHalfPiRight) {
    Dot d;
    d.setMotion(0.0, 2.0);
    EXPECT_NEAR(d.getVelocityX(), 0.0, 1e-12);
    EXPECT_NEAR(d.getVelocityY(), 2.0, 1e-12);
    d.setMotion(kPi / 2, 2.0);
    EXPECT_NEAR(d.getVelocityX(), 2.0, 1e-12);
    EXPECT_NEAR(d.getVelocityY(), 0.0, 1e-12);
    d.accelerate(1.0);
    EXPECT_NEAR(d.getVelocityX(), 3.0, 1e-12);
    d.turn(kPi / 2);  // now pointing up
    EXPECT_NEAR(d.getVelocityY(), -3.0, 1e-12);
    d.move();
    EXPECT_NEAR(d.getY(), -3.0, 1e-12);
}

TEST(CharacterTest, AngleToFollowsTheHeadingConvention) {
    Dot d;
    d.setPosition(10, 10);
    EXPECT_NEAR(d.angleTo(10, 20), 0.0, 1e-12);
    EXPECT_NEAR(d.angleTo(20, 10), kPi / 2, 1e-12);
    EXPECT_NEAR(std::fabs(d.angleTo(10, 0)), kPi, 1e-12);
}

TEST(CharacterTest, SteerTurnsByAtMostTheLimit) {
    struct Case {
        double start;
        double target;
        double limit;
        double expected;
    };
    const Case cases[] = {
        {0.0, 1.0, kPi, 1.0},            // pi points straight at the target
        {0.0, -1.0, kPi, -1.0},
        {0.0, 1.0, 0.1, 0.1},            // limited, turning the short way
        {0.0, -1.0, 0.1, -0.1},
        {0.0, 0.05, 0.1, 0.05},          // difference below the limit: the whole difference
        {0.0, 2 * kPi - 0.5, 0.1, -0.1}, // the short way round is negative
        {1.0, 1.0, 0.1, 1.0},            // already there
    };
    for (const Case& c : cases) {
        Dot d;
        d.setMotion(c.start, 1.0);
        d.steer(c.target, c.limit);
        EXPECT_NEAR(d.getDirection(), c.expected, 1e-9)
            << c.start << " -> " << c.target << " limit " << c.limit;
    }
}

TEST(CharacterTest, HitTestNeedsOverlapNotJustTouching) {
    struct Case {
        double bx;
        double by;
        bool hit;
    };
    // a at (0, 0) with (-3, -3, 3, 3); b with the same rectangle.
    const Case cases[] = {
        {0, 0, true},   {5.9, 0, true},  {6, 0, false}, {-6, 0, false},
        {0, 5.9, true}, {0, -6, false},  {5, 5, true},  {7, 0, false},
    };
    for (const Case& c : cases) {
        Dot a;
        Dot b;
        a.place(0, 0, -3, -3, 3, 3);
        b.place(c.bx, c.by, -3, -3, 3, 3);
        EXPECT_EQ(a.hitTest(b), c.hit) << c.bx << "," << c.by;
        EXPECT_EQ(b.hitTest(a), c.hit) << c.bx << "," << c.by;
    }
}

TEST(CharacterTest, HandleOfTheFrameIsClampedToTheGraph) {
    Dot d;
    EXPECT_EQ(d.getHandle(), -1);  // no graph
    DhGraph g;
    g.handles().resize(2);
    g.handles().at(0) = 5;
    g.handles().at(1) = 6;
    d.setGraph(&g);
    EXPECT_EQ(d.getHandle(), 5);
}

TEST(PatternTest, PlayAreaEdgesAreInclusive) {
    Pattern::setPlayArea(32, 0, 360, 480);
    EXPECT_EQ(PlayArea.right, 391);
    EXPECT_EQ(PlayArea.bottom, 479);
    EXPECT_EQ(Pattern::getAreaWidth(), 359);
    EXPECT_EQ(Pattern::getAreaHeight(), 479);
    Dot d;
    struct Case {
        double x;
        double y;
        bool inside;
    };
    for (Case c : {Case{32, 0, true}, Case{391, 479, true}, Case{31.9, 10, false},
                   Case{391.1, 10, false}, Case{100, -0.1, false}, Case{100, 479.5, false}}) {
        d.setPosition(c.x, c.y);
        EXPECT_EQ(Pattern::isInArea(d), c.inside) << c.x << "," << c.y;
    }
    // Visible: widened by the tile size.
    DhGraph g;
    g.setSize(16, 8);
    d.setGraph(&g);
    for (Case c : {Case{16, -8, true}, Case{15.9, 0, false}, Case{407, 487, true},
                   Case{407.5, 10, false}, Case{100, 487.5, false}}) {
        d.setPosition(c.x, c.y);
        EXPECT_EQ(Pattern::isVisible(d), c.inside) << c.x << "," << c.y;
    }
    Pattern::setPosition(d, 10, 20);
    EXPECT_EQ(d.getX(), 42);
    EXPECT_EQ(d.getY(), 20);
    PlayArea = Rect();
}

}  // namespace
