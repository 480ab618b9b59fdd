#include "base/number_routines.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr int32_t kMin = INT32_MIN;  // 0x80000000, the result of every refused conversion
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct RoundingMode {
    int mode;
    const char* name;
};
const RoundingMode kModes[] = {
    {FE_TONEAREST, "ToNearest"},
    {FE_UPWARD, "Upward"},
    {FE_DOWNWARD, "Downward"},
    {FE_TOWARDZERO, "TowardZero"},
};

struct DoubleCase {
    double in;
    int32_t expected;
};
const DoubleCase kDoubleCases[] = {
    {2.9, 2},
    {-2.9, -2},
    {2.5, 2},
    {-2.5, -2},
    {0.5, 0},
    {-0.5, 0},
    {-0.0, 0},
    {3e10, kMin},
    {-3e10, kMin},
    {kNaN, kMin},
    {-kNaN, kMin},
    {kInf, kMin},
    {-kInf, kMin},
    {2147483647.0, INT32_MAX},
    {2147483647.5, INT32_MAX},
    {2147483647.9999998, INT32_MAX},
    {2147483648.0, kMin},
    {-2147483647.5, -INT32_MAX},
    {-2147483648.0, kMin},
    {-2147483648.9, kMin},  // truncates to -2147483648, which fits
    {-2147483649.0, kMin},
};

struct FloatCase {
    float in;
    int32_t expected;
};
const FloatCase kFloatCases[] = {
    {2.9f, 2},
    {-2.9f, -2},
    {1.5f, 1},
    {-1.5f, -1},
    {3e10f, kMin},
    {-3e10f, kMin},
    {std::numeric_limits<float>::quiet_NaN(), kMin},
    {std::numeric_limits<float>::infinity(), kMin},
    // 2147483647.5 is not a float: it rounds to 2^31, which is out of range.
    {2147483647.5f, kMin},
    {-2147483647.5f, kMin},  // -2^31 itself
    {2147483520.0f, 2147483520},  // the largest float below 2^31
    {-2147483648.0f, kMin},
    {16777217.0f, 16777216},  // rounds to 2^24 as a float
};

class ConversionTest : public ::testing::TestWithParam<RoundingMode> {
protected:
    void SetUp() override { ASSERT_EQ(std::fesetround(GetParam().mode), 0); }
    void TearDown() override { std::fesetround(FE_TONEAREST); }
};

TEST_P(ConversionTest, DoubleToIntTruncatesTowardZero) {
    for (const DoubleCase& c : kDoubleCases) {
        volatile double in = c.in;  // keeps the conversion at run time, under the mode
        EXPECT_EQ(DoubleToInt(in), c.expected) << "input " << c.in;
        EXPECT_EQ(std::fegetround(), GetParam().mode) << "the caller's mode is kept";
    }
}

TEST_P(ConversionTest, FloatToIntTruncatesTowardZero) {
    for (const FloatCase& c : kFloatCases) {
        volatile float in = c.in;
        EXPECT_EQ(FloatToInt(in), c.expected) << "input " << c.in;
        EXPECT_EQ(std::fegetround(), GetParam().mode);
    }
}

TEST_P(ConversionTest, DoubleRectToIntConvertsEachCorner) {
    volatile double l = -2.9, t = 3e10, r = 639.99, b = kNaN;
    int32_t out[4] = {1, 1, 1, 1};
    DoubleRectToInt(l, t, r, b, &out[0], &out[1], &out[2], &out[3]);
    EXPECT_EQ(out[0], -2);
    EXPECT_EQ(out[1], kMin);
    EXPECT_EQ(out[2], 639);
    EXPECT_EQ(out[3], kMin);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ConversionTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumberRoutinesTest, DoubleRectToIntSkipsMissingOutputs) {
    int32_t right = 0;
    DoubleRectToInt(1.0, 2.0, 3.7, 4.0, nullptr, nullptr, &right, nullptr);
    EXPECT_EQ(right, 3);
}

TEST(NumberRoutinesTest, SinCosFPutsSineFirstAndRoundsToFloat) {
    struct Case {
        float angle;
        float sine;
        float cosine;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f},
        {1.0f, 0.841470985f, 0.540302306f},
        {-1.0f, -0.841470985f, 0.540302306f},
        {3.14159274f, -8.74227766e-08f, -1.0f},   // the float nearest pi
        {1.57079637f, 1.0f, -4.37113883e-08f},   // the float nearest pi / 2
        {1000000.0f, -0.349993502f, 0.936752127f},
    };
    for (const Case& c : cases) {
        float s = 2.0f, co = 2.0f;
        SinCosF(c.angle, &s, &co);
        EXPECT_FLOAT_EQ(s, c.sine) << "angle " << c.angle;
        EXPECT_FLOAT_EQ(co, c.cosine) << "angle " << c.angle;
    }
}

TEST(NumberRoutinesTest, SqrtFloat) {
    EXPECT_EQ(SqrtFloat(16.0f), 4.0f);
    EXPECT_EQ(SqrtFloat(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(SqrtFloat(2.0f), 1.41421356f);
    EXPECT_TRUE(std::isnan(SqrtFloat(-1.0f)));
}

TEST(NumberRoutinesTest, AbsInt) {
    const struct {
        int32_t in, expected;
    } cases[] = {{0, 0}, {5, 5}, {-5, 5}, {INT32_MAX, INT32_MAX}, {-INT32_MAX, INT32_MAX},
                 {INT32_MIN, INT32_MIN}};
    for (const auto& c : cases) {
        volatile int32_t in = c.in;
        EXPECT_EQ(AbsInt(in), c.expected) << "input " << c.in;
    }
}

TEST(NumberRoutinesTest, AbsFloatKeepsNaNAndNegativeZero) {
    EXPECT_EQ(AbsFloat(-2.5f), 2.5f);
    EXPECT_EQ(AbsFloat(2.5f), 2.5f);
    EXPECT_EQ(AbsFloat(-std::numeric_limits<float>::infinity()),
              std::numeric_limits<float>::infinity());
    // Returned unchanged, bit for bit.
    const float negativeZero = -0.0f;
    EXPECT_EQ(std::bit_cast<uint32_t>(AbsFloat(negativeZero)), std::bit_cast<uint32_t>(negativeZero));
    const float negativeNaN = -std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(std::bit_cast<uint32_t>(AbsFloat(negativeNaN)), std::bit_cast<uint32_t>(negativeNaN));
}

}  // namespace
