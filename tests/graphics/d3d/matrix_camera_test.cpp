// The perspective, viewport and look-at forms: their entries, the projection of known points
// to the screen, the refused ranges and angles, and the orthonormal rotation of a camera.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/number_routines.h"
#include "graphics/d3d/camera_matrices.h"
#include "graphics/d3d/matrix.h"
#include "graphics/drivers/screen_driver.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "tests/graphics/d3d/matrix_test_support.h"

namespace {

constexpr float kQuarterPi = 0.7853981634f;
constexpr float kHalfPi = 1.5707963268f;

// cot(fov / 2) as the library computes it: single-precision sine and cosine, then c / s.
float HalfAngleCot(float fov) {
    float s = 0.0f, c = 0.0f;
    SinCosF(fov * 0.5f, &s, &c);
    return c / s;
}

class MatrixCameraTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGraphicsDrivers(); }
    void TearDown() override { ResetGraphicsDrivers(); }
};

TEST_F(MatrixCameraTest, PerspectiveEntries) {
    Matrix4 m = MakeMatrix({{{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}}});
    ASSERT_EQ(BuildPerspectiveMatrixForSize(&m, kHalfPi, 1.0f, 11.0f, 640.0f, 480.0f), 0);
    const float cot = HalfAngleCot(kHalfPi);
    EXPECT_NEAR(cot, 1.0f, 1e-6f);
    const float q = 11.0f / 10.0f;
    EXPECT_TRUE(MatricesEqual(m, MakeMatrix({{{0.75f * cot, 0, 0, 0},
                                              {0, cot, 0, 0},
                                              {0, 0, q, 1},
                                              {0, 0, -q * 1.0f, 0}}})));

    // A 60-degree field of view: cot(30 degrees) = sqrt(3); Q = 100 / 90.
    ASSERT_EQ(BuildPerspectiveMatrixForSize(&m, 1.0471976f, 10.0f, 100.0f, 400.0f, 400.0f), 0);
    EXPECT_NEAR(m.m[1][1], 1.7320508f, 2e-6f);
    EXPECT_EQ(m.m[0][0], m.m[1][1]);  // square screen
    EXPECT_EQ(m.m[2][2], 100.0f / 90.0f);
    EXPECT_EQ(m.m[3][2], -(100.0f / 90.0f) * 10.0f);
    EXPECT_EQ(m.m[3][3], 0.0f);
}

TEST_F(MatrixCameraTest, PerspectiveTakesTheAspectFromTheScreenSize) {
    Matrix4 m;
    // No screen: the 640 x 480 default.
    ASSERT_EQ(BuildPerspectiveMatrix(&m, kHalfPi, 1.0f, 11.0f), 0);
    EXPECT_EQ(m.m[0][0], 0.75f * HalfAngleCot(kHalfPi));
    EXPECT_EQ(m.m[1][1], HalfAngleCot(kHalfPi));

    static ScreenDriver screen = kAbsentScreen;
    screen.getScreenDimensions = [](int32_t* w, int32_t* h) {
        *w = 800;
        *h = 200;
    };
    ScreenSlot().Install(screen);
    ASSERT_EQ(BuildPerspectiveMatrix(&m, kHalfPi, 1.0f, 11.0f), 0);
    EXPECT_EQ(m.m[0][0], 0.25f * HalfAngleCot(kHalfPi));
}

TEST_F(MatrixCameraTest, PerspectiveRefusesADegenerateRangeOrAngleAndLeavesOutUnchanged) {
    struct Case {
        std::string name;
        float fov, nearClip, farClip;
        int result;
    };
    const std::vector<Case> cases = {
        {"near equals far", kHalfPi, 5.0f, 5.0f, -1},
        {"range below 0.01", kHalfPi, 5.0f, 5.005f, -1},
        {"reversed range below 0.01", kHalfPi, 5.005f, 5.0f, -1},
        {"zero angle", 0.0f, 1.0f, 11.0f, -1},
        {"half-angle sine below 0.01", 0.019f, 1.0f, 11.0f, -1},
        {"full turn: sine of a half turn is 0", 6.2831855f, 1.0f, 11.0f, -1},
        {"half-angle sine just above 0.01", 0.021f, 1.0f, 11.0f, 0},
        {"range of 0.02", kHalfPi, 5.0f, 5.02f, 0},
        {"far before near", kHalfPi, 11.0f, 1.0f, 0},
        {"negative angle", -kHalfPi, 1.0f, 11.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Matrix4 before = MakeMatrix(
            {{{7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}, {7, 7, 7, 7}}});
        Matrix4 m = before;
        EXPECT_EQ(BuildPerspectiveMatrixForSize(&m, c.fov, c.nearClip, c.farClip, 640, 480),
                  c.result);
        if (c.result == -1) {
            EXPECT_TRUE(MatricesEqual(m, before));
        } else {
            EXPECT_EQ(m.m[2][3], 1.0f);
            EXPECT_EQ(m.m[0][1], 0.0f);
        }
    }
}

TEST_F(MatrixCameraTest, ViewportEntries) {
    Matrix4 m;
    ASSERT_EQ(BuildViewportMatrix(&m, 320, 240, 640, 480), 0);
    EXPECT_TRUE(MatricesEqual(m, MakeMatrix({{{320, 0, 0, 0},
                                              {0, -240, 0, 0},
                                              {0, 0, 1, 0},
                                              {320, 240, 0, 1}}})));
}

TEST_F(MatrixCameraTest, ProjectionAndViewportTakeKnownPointsToTheScreen) {
    // Square screen, 90-degree field of view, near 1, far 11.
    Matrix4 projection, viewport, both;
    ASSERT_EQ(BuildPerspectiveMatrixForSize(&projection, kHalfPi, 1.0f, 11.0f, 100, 100), 0);
    BuildViewportMatrix(&viewport, 50, 50, 100, 100);
    MultiplyMatrix(&both, &projection, &viewport);

    struct Case {
        std::string name;
        std::array<float, 4> point;
        float screenX, screenY, depth;
    };
    const std::vector<Case> cases = {
        {"centre on the near plane", {0, 0, 1, 1}, 50, 50, 0},
        {"centre on the far plane", {0, 0, 11, 1}, 50, 50, 1},
        {"right edge at 45 degrees", {5, 0, 5, 1}, 100, 50, 0.88f},
        {"top edge at 45 degrees (screen y grows down)", {0, 5, 5, 1}, 50, 0, 0.88f},
        {"bottom-left corner", {-2, -2, 2, 1}, 0, 100, 0.55f},
        {"a quarter of the way right", {1, 0, 2, 1}, 75, 50, 0.55f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = TransformPoint(both, c.point);
        ASSERT_NE(p[3], 0.0f);
        EXPECT_EQ(p[3], c.point[2]);  // w carries the depth in view space
        EXPECT_NEAR(p[0] / p[3], c.screenX, 1e-4f);
        EXPECT_NEAR(p[1] / p[3], c.screenY, 1e-4f);
        EXPECT_NEAR(p[2] / p[3], c.depth, 1e-6f);
    }
}

TEST_F(MatrixCameraTest, LookAtAlongZFromMinusOneIsTheIdentityRotation) {
    Matrix4 m;
    const Vector3 eye{0, 0, -1}, at{0, 0, 0}, up{0, 1, 0};
    ASSERT_EQ(BuildLookAtMatrix(&m, &eye, &at, &up), 0);
    EXPECT_TRUE(MatricesEqual(
        m, MakeMatrix({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}}})));
}

TEST_F(MatrixCameraTest, LookAtKnownCameras) {
    struct Case {
        std::string name;
        Vector3 eye, at, up;
        Matrix4 expected;
    };
    const std::vector<Case> cases = {
        // Looking down +x: the camera's right is -z.
        {"looking along +x", {0, 0, 0}, {1, 0, 0}, {0, 1, 0},
         MakeMatrix({{{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, 1}}})},
        // Unnormalised line of sight and up give unit axes; the fourth row undoes the eye.
        {"long vectors, moved eye", {2, 3, 4}, {2, 3, 14}, {0, 5, 0},
         MakeMatrix({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-2, -3, -4, 1}}})},
        // Looking down -z with up -y: a half turn about x (y and z reverse).
        {"looking along -z with up -y", {0, 0, 5}, {0, 0, 0}, {0, -1, 0},
         MakeMatrix({{{1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 5, 1}}})},
        // A slanted up vector only tilts within the plane it spans with the line of sight.
        {"slanted up", {0, 0, -1}, {0, 0, 0}, {0, 3, 7},
         MakeMatrix({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 m;
        ASSERT_EQ(BuildLookAtMatrix(&m, &c.eye, &c.at, &c.up), 0);
        EXPECT_TRUE(MatricesEqual(m, c.expected));
    }
}

TEST_F(MatrixCameraTest, LookAtIsARigidMoveOfTheEyeToTheOrigin) {
    const Vector3 eye{3, -2, 5}, at{-1, 4, 2}, up{0.2f, 1, -0.3f};
    Matrix4 m;
    ASSERT_EQ(BuildLookAtMatrix(&m, &eye, &at, &up), 0);

    // The rotation part is orthonormal: R x transpose(R) = I.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double dot = 0.0;
            for (int k = 0; k < 3; ++k) dot += double(m.m[i][k]) * m.m[j][k];
            EXPECT_NEAR(dot, i == j ? 1.0 : 0.0, 1e-6) << i << "," << j;
        }
    }
    // The eye goes to the origin and the target straight ahead, at its distance.
    const auto e = TransformPoint(m, {eye.x, eye.y, eye.z, 1});
    EXPECT_NEAR(e[0], 0.0f, 1e-5f);
    EXPECT_NEAR(e[1], 0.0f, 1e-5f);
    EXPECT_NEAR(e[2], 0.0f, 1e-5f);
    const auto a = TransformPoint(m, {at.x, at.y, at.z, 1});
    const float distance = std::sqrt(16.0f + 36.0f + 9.0f);
    EXPECT_NEAR(a[0], 0.0f, 1e-5f);
    EXPECT_NEAR(a[1], 0.0f, 1e-5f);
    EXPECT_NEAR(a[2], distance, 1e-5f);
    // A point above the eye along up lands in the upper half (positive y).
    const auto u = TransformPoint(m, {eye.x + up.x, eye.y + up.y, eye.z + up.z, 1});
    EXPECT_GT(u[1], 0.0f);
    EXPECT_NEAR(u[0], 0.0f, 1e-5f);
}

TEST_F(MatrixCameraTest, LookAtWithoutCameraAxesIsRefusedAndLeavesTheOutputAlone) {
    struct Case {
        std::string name;
        Vector3 eye, at, up;
    };
    const std::vector<Case> cases = {
        {"eye at the target", {1, 2, 3}, {1, 2, 3}, {0, 1, 0}},
        {"up along the line of sight", {0, 0, 0}, {0, 4, 0}, {0, 1, 0}},
        {"zero up", {0, 0, -1}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 m;
        for (auto& row : m.m) {
            for (float& v : row) v = 7.0f;
        }
        EXPECT_EQ(BuildLookAtMatrix(&m, &c.eye, &c.at, &c.up), -1);
        for (const auto& row : m.m) {
            for (float v : row) EXPECT_EQ(v, 7.0f);
        }
    }
}

}  // namespace
