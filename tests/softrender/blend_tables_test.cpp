#include "softrender/rules/blend_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

class BlendTablesTest : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
    void TearDown() override {
        std::memset(ProductTable, 0, sizeof(ProductTable));
        std::memset(SignedProductTable, 0, sizeof(SignedProductTable));
        std::memset(Blend565Table, 0, sizeof(Blend565Table));
        std::memset(BlendWeightMap, 0, sizeof(BlendWeightMap));
    }
};

// The expected values come from real-number arithmetic, rounded as each table defines.

TEST_F(BlendTablesTest, ProductTableEveryEntry) {
    for (int p = 0; p < 256; ++p) {
        for (int v = 0; v < 256; ++v) {
            const auto expected = static_cast<uint32_t>(std::floor(v * p / 255.0));
            ASSERT_EQ(ProductTable[p][v], expected) << "p " << p << " v " << v;
        }
    }
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(ProductTable[255][v], static_cast<uint32_t>(v));
        EXPECT_EQ(ProductTable[0][v], 0u);
    }
    EXPECT_EQ(ProductTable[128][255], 128u);
    EXPECT_EQ(ProductTable[128][128], 64u);
    EXPECT_EQ(ProductTable[128][1], 0u);
}

TEST_F(BlendTablesTest, SignedProductTableEveryEntryFromTheCentre) {
    for (int p = 0; p < 256; ++p) {
        const int32_t* row = &SignedProductTable[p][SIGNED_PRODUCT_CENTRE];
        for (int d = -255; d <= 255; ++d) {
            const auto expected = static_cast<int32_t>(std::trunc(d * p / 255.0));
            ASSERT_EQ(row[d], expected) << "p " << p << " d " << d;
        }
        EXPECT_EQ(row[0], 0);
        EXPECT_EQ(SignedProductTable[p][511], 0) << "padding slot";
    }
    const int32_t* row255 = &SignedProductTable[255][SIGNED_PRODUCT_CENTRE];
    for (int d = -255; d <= 255; ++d) EXPECT_EQ(row255[d], d);
    const int32_t* row128 = &SignedProductTable[128][SIGNED_PRODUCT_CENTRE];
    EXPECT_EQ(row128[-255], -128);
    EXPECT_EQ(row128[255], 128);
    EXPECT_EQ(row128[-128], -64);
    // Negative products round toward zero, not down.
    EXPECT_EQ(SignedProductTable[254][SIGNED_PRODUCT_CENTRE - 1], 0);
}

TEST_F(BlendTablesTest, Blend565TableEveryEntry) {
    for (int o = 0; o < 64; ++o) {
        for (int m = 0; m < 64; ++m) {
            for (int i = 0; i < 64; ++i) {
                const auto expected =
                    static_cast<uint8_t>(std::floor((m * o + i * (63 - o)) / 63.0));
                ASSERT_EQ(Blend565Table[o][m * 64 + i], expected)
                    << "o " << o << " m " << m << " i " << i;
            }
        }
    }
    for (int m = 0; m < 64; ++m) {
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(Blend565Table[63][m * 64 + i], m);
            EXPECT_EQ(Blend565Table[0][m * 64 + i], i);
        }
    }
    EXPECT_EQ(Blend565Table[32][63 * 64 + 0], 32);
}

TEST_F(BlendTablesTest, OtherNamesAreTheSameTables) {
    EXPECT_EQ(&DifferenceTable[0][0], &SignedProductTable[0][0]);
    EXPECT_EQ(&Channel16Table[0][0], &Blend565Table[0][0]);
    EXPECT_EQ(sizeof(ProductTable), 256u * 1024);
    EXPECT_EQ(sizeof(SignedProductTable), 512u * 1024);
    EXPECT_EQ(sizeof(Blend565Table), 256u * 1024);
}

// ---- the weight map ------------------------------------------------------------------------

// The weight of blend-graph value i from the defining formula, divisions toward zero.
int ExpectedWeight(int b, int r, int i) {
    const int step = 65536 / (r + 1);
    const int off = 256 - ((step + 256) * b) / 256;
    const int w = (i * 256) / (r + 1) + off;
    return w > 255 ? 255 : w < 0 ? 0 : w;
}

TEST_F(BlendTablesTest, WeightMapMatchesTheFormulaForEveryBorder) {
    for (int b = 0; b < 256; ++b) {
        for (int r = 0; r < 256; ++r) {
            ASSERT_EQ(BuildBlendWeightMap(b, r), 0);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(BlendWeightMap[i], ExpectedWeight(b, r, i))
                    << "b " << b << " r " << r << " i " << i;
            }
        }
    }
}

struct WeightCase {
    const char* name;
    int b, r;
    int (*weight)(int i);
};

class WeightMapCaseTest : public BlendTablesTest,
                          public ::testing::WithParamInterface<WeightCase> {};

TEST_P(WeightMapCaseTest, Shape) {
    const WeightCase& c = GetParam();
    BuildBlendWeightMap(c.b, c.r);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(BlendWeightMap[i], c.weight(i)) << "i " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WeightMapCaseTest,
    ::testing::Values(
        WeightCase{"MiddleRampIsIdentity", 128, 255, [](int i) { return i; }},
        WeightCase{"ZeroBorderHardStep", 0, 0, [](int) { return 255; }},
        WeightCase{"ZeroBorderNarrowRamp", 0, 7, [](int) { return 255; }},
        WeightCase{"ZeroBorderFullRamp", 0, 255, [](int) { return 255; }},
        WeightCase{"MiddleHardStep", 128, 0,
                   [](int i) { return i <= 127 ? 0 : i == 128 ? 128 : 255; }},
        WeightCase{"FullBorderFullRamp", 255, 255, [](int i) { return i <= 254 ? 0 : 1; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlendTablesTest, WeightMapBordersOutsideTheRangeAreClamped) {
    uint8_t clamped[256];
    BuildBlendWeightMap(0, 255);
    std::memcpy(clamped, BlendWeightMap, sizeof(clamped));
    BuildBlendWeightMap(-5, 300);
    EXPECT_EQ(std::memcmp(clamped, BlendWeightMap, sizeof(clamped)), 0);

    BuildBlendWeightMap(255, 0);
    std::memcpy(clamped, BlendWeightMap, sizeof(clamped));
    BuildBlendWeightMap(1000, -1);  // a range of -1 would divide by zero
    EXPECT_EQ(std::memcmp(clamped, BlendWeightMap, sizeof(clamped)), 0);
}

}  // namespace
