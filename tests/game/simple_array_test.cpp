#include <gtest/gtest.h>

#include "dh_graph.h"
#include "rect.h"
#include "simple_array.h"

namespace {

struct Counted {
    static int alive;
    int value = 7;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

class DerivedArray : public SimpleArray<Counted> {
public:
    DerivedArray() : SimpleArray<Counted>(4) {}
};

TEST(SimpleArrayTest, ResizeDropsEveryEarlierElement) {
    Counted::alive = 0;
    {
        SimpleArray<Counted> a;
        EXPECT_EQ(a.size(), 0u);
        EXPECT_EQ(a.data(), nullptr);
        a.resize(3);
        EXPECT_EQ(a.size(), 3u);
        EXPECT_EQ(Counted::alive, 3);
        a.at(1).value = 42;
        a.resize(2);
        EXPECT_EQ(Counted::alive, 2);
        EXPECT_EQ(a.at(1).value, 7);  // fresh element, the old contents are gone
        a.resize(0);
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(a.data(), nullptr);
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(SimpleArrayTest, DerivedArrayIsDestroyedThroughTheBase) {
    Counted::alive = 0;
    SimpleArray<Counted>* a = new DerivedArray;
    EXPECT_EQ(Counted::alive, 4);
    delete a;
    EXPECT_EQ(Counted::alive, 0);
}

TEST(RectTest, StartsZeroAndSetsInOrder) {
    Rect r;
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
    r.set(1, 2, 3, 4);
    Rect copy;
    copy = r;
    EXPECT_EQ(copy.left, 1);
    EXPECT_EQ(copy.top, 2);
    EXPECT_EQ(copy.right, 3);
    EXPECT_EQ(copy.bottom, 4);
}

TEST(DhGraphTest, ClampedHandleStaysWithinTheTiles) {
    DhGraph g;
    EXPECT_EQ(g.getClampedHandle(0), -1);  // no tiles
    g.handles().resize(3);
    for (int i = 0; i < 3; ++i) g.handles().at(i) = 10 + i;
    struct Case {
        int index;
        int handle;
    };
    for (Case c : {Case{-5, 10}, Case{0, 10}, Case{2, 12}, Case{3, 12}, Case{99, 12}}) {
        EXPECT_EQ(g.getClampedHandle(c.index), c.handle) << "index " << c.index;
    }
    EXPECT_EQ(clampTileIndex(5, 0), 0);
}

}  // namespace
