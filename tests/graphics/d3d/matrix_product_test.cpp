// The identity and the product of the 4 x 4 transform matrix: hand-computed products in the
// row-vector layout, double-precision accumulation, and outputs that alias an input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/matrix.h"
#include "tests/graphics/d3d/matrix_test_support.h"

namespace {

const MatrixRows kCounting = {{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}};
const MatrixRows kCountingSquared = {{{90, 100, 110, 120},
                                      {202, 228, 254, 280},
                                      {314, 356, 398, 440},
                                      {426, 484, 542, 600}}};

TEST(MatrixProductTest, IdentityHasOnesOnTheDiagonalOnly) {
    Matrix4 m = MakeMatrix(kCounting);
    EXPECT_EQ(SetIdentityMatrix(&m), 0);
    EXPECT_TRUE(MatricesEqual(
        m, MakeMatrix({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}})));
}

struct ProductCase {
    std::string name;
    Matrix4 a, b;
    Matrix4 expected;
};

TEST(MatrixProductTest, KnownProducts) {
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    const std::vector<ProductCase> cases = {
        {"identity on the left", identity, MakeMatrix(kCounting), MakeMatrix(kCounting)},
        {"identity on the right", MakeMatrix(kCounting), identity, MakeMatrix(kCounting)},
        {"counting squared", MakeMatrix(kCounting), MakeMatrix(kCounting),
         MakeMatrix(kCountingSquared)},
        {"two quarter turns make a half turn", QuarterTurnZ(), QuarterTurnZ(),
         MakeMatrix({{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}})},
        // Row vectors: the left matrix acts first. Scaling first keeps the translation as is...
        {"scale then translate", ScaleMatrix(2, 3, 4), TranslationMatrix(10, 20, 30),
         MakeMatrix({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 20, 30, 1}}})},
        // ...translating first scales the translation too.
        {"translate then scale", TranslationMatrix(10, 20, 30), ScaleMatrix(2, 3, 4),
         MakeMatrix({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {20, 60, 120, 1}}})},
        {"translate then quarter turn", TranslationMatrix(5, 0, 0), QuarterTurnZ(),
         MakeMatrix({{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 5, 0, 1}}})},
        {"translations add", TranslationMatrix(1, 2, 3), TranslationMatrix(-4, 0.5f, 7),
         TranslationMatrix(-3, 2.5f, 10)},
    };
    for (const ProductCase& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 out = MakeMatrix(kCounting);
        EXPECT_EQ(MultiplyMatrix(&out, &c.a, &c.b), 0);
        EXPECT_TRUE(MatricesEqual(out, c.expected));
    }
}

TEST(MatrixProductTest, PointsTransformAsRowVectors) {
    struct PointCase {
        std::string name;
        Matrix4 m;
        std::array<float, 4> point, expected;
    };
    Matrix4 scaleThenTranslate, translateThenScale;
    const Matrix4 scale = ScaleMatrix(2, 3, 4), translate = TranslationMatrix(10, 20, 30);
    MultiplyMatrix(&scaleThenTranslate, &scale, &translate);
    MultiplyMatrix(&translateThenScale, &translate, &scale);
    const std::vector<PointCase> cases = {
        {"quarter turn of the x axis", QuarterTurnZ(), {1, 0, 0, 1}, {0, 1, 0, 1}},
        {"quarter turn of the y axis", QuarterTurnZ(), {0, 1, 0, 1}, {-1, 0, 0, 1}},
        {"translation moves a point", translate, {1, 1, 1, 1}, {11, 21, 31, 1}},
        {"translation leaves a direction", translate, {1, 1, 1, 0}, {1, 1, 1, 0}},
        {"scale then translate", scaleThenTranslate, {1, 1, 1, 1}, {12, 23, 34, 1}},
        {"translate then scale", translateThenScale, {1, 1, 1, 1}, {22, 63, 124, 1}},
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TransformPoint(c.m, c.point), c.expected);
    }
}

TEST(MatrixProductTest, SumsAreAccumulatedInDoublePrecision) {
    // In float, 1e8 + 1 rounds back to 1e8 and the sum would come out 0; in double it is 1.
    const Matrix4 a = MakeMatrix({{{1e8f, 1, -1e8f, 0}, {}, {}, {}}});
    const Matrix4 b = MakeMatrix({{{1, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}}});
    Matrix4 out;
    MultiplyMatrix(&out, &a, &b);
    EXPECT_EQ(out.m[0][0], 1.0f);

    // 2^24 + 1 + 1: a float sum loses each 1 to rounding (ties to even) and stays 2^24; the
    // double sum is 2^24 + 2, which a float holds exactly.
    const Matrix4 c = MakeMatrix({{{16777216.0f, 1, 1, 0}, {}, {}, {}}});
    MultiplyMatrix(&out, &c, &b);
    EXPECT_EQ(out.m[0][0], 16777218.0f);
}

TEST(MatrixProductTest, OutputMayAliasEitherInput) {
    Matrix4 identity;
    SetIdentityMatrix(&identity);

    Matrix4 m = MakeMatrix(kCounting);
    EXPECT_EQ(MultiplyMatrix(&m, &m, &identity), 0);  // m x identity leaves m unchanged
    EXPECT_TRUE(MatricesEqual(m, MakeMatrix(kCounting)));

    Matrix4 square = MakeMatrix(kCounting);
    MultiplyMatrix(&square, &square, &square);
    EXPECT_TRUE(MatricesEqual(square, MakeMatrix(kCountingSquared)));

    Matrix4 right = TranslationMatrix(10, 20, 30);
    const Matrix4 left = ScaleMatrix(2, 3, 4);
    MultiplyMatrix(&right, &left, &right);
    EXPECT_TRUE(MatricesEqual(
        right, MakeMatrix({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 20, 30, 1}}})));
}

TEST(MatrixProductTest, FourQuarterTurnsAreTheIdentityAndATurnIsOrthogonal) {
    const Matrix4 turn = QuarterTurnZ();
    Matrix4 total;
    SetIdentityMatrix(&total);
    for (int i = 0; i < 4; ++i) MultiplyMatrix(&total, &total, &turn);
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    EXPECT_TRUE(MatricesEqual(total, identity));

    // The transpose of a rotation is its inverse.
    Matrix4 transposed;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) transposed.m[r][c] = turn.m[c][r];
    }
    Matrix4 product;
    MultiplyMatrix(&product, &turn, &transposed);
    EXPECT_TRUE(MatricesEqual(product, identity));
}

}  // namespace
