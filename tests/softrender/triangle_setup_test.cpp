// The set-up of the triangle rasteriser as a table: vertex orders, gradients, edges and the
// refusals, including the triangles whose fixed-point values would leave 32 bits.
#include "softrender/triangle/triangle_setup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int32_t kOne = kFixedOne;
constexpr int32_t kHalf = kFixedHalf;

struct EdgeWant {
    int32_t x, step, lines, startLine;
};

struct SetupCase {
    const char* name;
    std::vector<int32_t> vertices;
    bool textured;
    TriangleSetupResult result;
    // Checked when the result is Ok.
    std::vector<int> orderX = {}, orderY = {};
    std::vector<int32_t> gradients = {};  // stepUx, stepUy, stepVx, stepVy
    std::vector<int32_t> anchor = {};     // x, y, U, V
    std::vector<EdgeWant> left = {}, right = {};
};

TEST(TriangleSetupTest, Table) {
    const SetupCase cases[] = {
        {"flat top (0,0) (4,0) (0,4), identity mapping",
         {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4},
         true,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2},
         {kOne, 0, 0, kOne},
         {0, 0, 0, 0},
         {{kHalf, 0, 4, 0}},
         {{4 * kOne + kHalf, -kOne, 4, 0}}},
        {"flat top listed right first: the greater X starts the right side",
         {4, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {1, 2, 0},
         {0, 1, 2},
         {0, 0, 0, 0},
         {0, 0, 0, 0},
         {{kHalf, 0, 4, 0}},
         {{4 * kOne + kHalf, -kOne, 4, 0}}},
        {"equal keys keep no fixed order: X keys 5, 5, 1 sort to 2, 1, 0",
         {5, 0, 0, 0, 5, 3, 0, 0, 1, 6, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {2, 1, 0},
         {0, 1, 2},
         {},
         {1, 6, 0, 0},
         {},
         {}},
        {"flat bottom: the smaller X of middle and bottom ends the left side",
         {2, 0, 0, 0, 4, 4, 0, 0, 0, 4, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {2, 0, 1},
         {0, 1, 2},
         {},
         {},
         {{2 * kOne + kHalf, -kOne / 2, 4, 0}},
         {{2 * kOne + kHalf, kOne / 2, 4, 0}}},
        {"middle vertex left of the long edge: two left segments",
         {4, 0, 0, 0, 0, 2, 0, 0, 4, 4, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {1, 0, 2},
         {0, 1, 2},
         {},
         {},
         {{4 * kOne + kHalf, -2 * kOne, 2, 0}, {kHalf, 2 * kOne, 2, 2}},
         {{4 * kOne + kHalf, 0, 4, 0}}},
        {"middle vertex right: the lower right segment starts one unit right of it",
         {0, 0, 0, 0, 4, 2, 0, 0, 0, 4, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2},
         {},
         {},
         {{kHalf, 0, 4, 0}},
         // (X(bottom) - (X(mid) + 1)) / 2 = (-4 px - 1 unit) / 2, truncated toward zero.
         {{kHalf, 2 * kOne, 2, 0}, {4 * kOne + kHalf + 1, -2 * kOne, 2, 2}}},
        {"a top at y = -3 starts on line -2 (truncation toward zero)",
         {0, -3, 0, 0, 6, -3, 0, 0, 0, 3, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2},
         {},
         {0, -2, 0, 0},
         {{kHalf, 0, 6, -2}},
         {{6 * kOne + kHalf, -kOne, 6, -2}}},
        {"a step that does not divide truncates toward zero",
         {0, 0, 0, 0, 1, 0, 0, 0, 0, 3, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2},
         {},
         {},
         {{kHalf, 0, 3, 0}},
         {{kOne + kHalf, -kOne / 3, 3, 0}}},
        {"gradients of a mapping that halves: 0.5 texel per pixel",
         {0, 0, 0, 0, 8, 0, 4, 0, 0, 8, 0, 4},
         true,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2},
         {kOne / 2, 0, 0, kOne / 2},
         {0, 0, 0, 0},
         {},
         {}},
        {"three collinear vertices",
         {0, 0, 0, 0, 2, 2, 0, 0, 4, 4, 0, 0},
         true,
         TriangleSetupResult::Collinear},
        {"three vertices on one line",
         {0, 3, 0, 0, 5, 3, 0, 0, 9, 3, 0, 0},
         false,
         TriangleSetupResult::Collinear},
        {"two equal vertices",
         {1, 1, 0, 0, 1, 1, 0, 0, 5, 7, 0, 0},
         false,
         TriangleSetupResult::Collinear},
        {"x = 8191 still fits",
         {8191, 0, 0, 0, 8185, 0, 0, 0, 8191, 6, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {1, 0, 2},
         {0, 1, 2}},
        {"x = 8192 leaves 32 bits",
         {8192, 0, 0, 0, 8185, 0, 0, 0, 8192, 6, 0, 0},
         false,
         TriangleSetupResult::OutOfRange},
        {"y = -8193 leaves 32 bits",
         {0, -8193, 0, 0, 5, -8190, 0, 0, 0, -8188, 0, 0},
         false,
         TriangleSetupResult::OutOfRange},
        {"vertices 10000 pixels apart: the difference leaves 32 bits",
         {-5000, 0, 0, 0, 5000, 0, 0, 0, 0, 10, 0, 0},
         false,
         TriangleSetupResult::OutOfRange},
        {"a texel coordinate of 8192 leaves 32 bits",
         {0, 0, 0, 0, 4, 0, 8192, 0, 0, 4, 0, 0},
         true,
         TriangleSetupResult::OutOfRange},
        {"the same texel coordinate is not read by a flat triangle",
         {0, 0, 0, 0, 4, 0, 8192, 0, 0, 4, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2}},
        {"a sliver mapping 8000 texels across: the gradient leaves 32 bits",
         {0, 0, 0, 0, 1, 1, -4000, 0, 1000, 999, 4000, 0},
         true,
         TriangleSetupResult::OutOfRange},
        {"the most negative fixed-point values",
         {-8192, -8192, 0, 0, -8190, -8192, 0, 0, -8192, -8190, 0, 0},
         false,
         TriangleSetupResult::Ok,
         {0, 2, 1},
         {0, 1, 2}},
    };
    for (const SetupCase& c : cases) {
        TriangleSetup t;
        EXPECT_EQ(SetUpTriangle(c.vertices.data(), c.textured, &t), c.result) << c.name;
        if (c.result != TriangleSetupResult::Ok) continue;
        if (!c.orderX.empty()) {
            EXPECT_EQ((std::vector<int>{t.orderX[0], t.orderX[1], t.orderX[2]}), c.orderX)
                << c.name;
        }
        if (!c.orderY.empty()) {
            EXPECT_EQ((std::vector<int>{t.orderY[0], t.orderY[1], t.orderY[2]}), c.orderY)
                << c.name;
        }
        if (!c.gradients.empty()) {
            EXPECT_EQ((std::vector<int32_t>{t.stepUx, t.stepUy, t.stepVx, t.stepVy}), c.gradients)
                << c.name;
        }
        if (!c.anchor.empty()) {
            EXPECT_EQ((std::vector<int32_t>{t.anchorX, t.anchorY, t.anchorU, t.anchorV}), c.anchor)
                << c.name;
        }
        auto check = [&](const std::vector<EdgeWant>& want, const TriangleEdge* got, int count,
                         const char* side) {
            if (want.empty()) return;
            ASSERT_EQ(count, static_cast<int>(want.size())) << c.name << " " << side;
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(got[i].x, want[i].x) << c.name << " " << side << " " << i;
                EXPECT_EQ(got[i].step, want[i].step) << c.name << " " << side << " " << i;
                EXPECT_EQ(got[i].lines, want[i].lines) << c.name << " " << side << " " << i;
                EXPECT_EQ(got[i].startLine, want[i].startLine) << c.name << " " << side << " " << i;
            }
        };
        check(c.left, t.left, t.leftSegments, "left");
        check(c.right, t.right, t.rightSegments, "right");
        if (!c.left.empty()) {
            EXPECT_EQ(t.firstLine, c.left[0].startLine) << c.name;
        }
    }
}

TEST(TriangleSetupTest, WholePixelsTruncateTowardZero) {
    EXPECT_EQ(Trunc18(3 * kOne + kHalf), 3);
    EXPECT_EQ(Trunc18(-3 * kOne + kHalf), -2);
    EXPECT_EQ(Trunc18(-kOne), -1);
    EXPECT_EQ(Trunc18(-1), 0);
    EXPECT_EQ(Trunc18(INT32_MIN), -8192);
}

}  // namespace
