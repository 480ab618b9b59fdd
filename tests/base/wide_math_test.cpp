#include "base/wide_math.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using u128 = unsigned __int128;

u128 ToNative(const U128& v) {
    return (static_cast<u128>(v.high) << 64) | v.low;
}

constexpr uint64_t kMax = ~uint64_t{0};

TEST(WideMathTest, MultiplyMatchesNativeProduct) {
    std::mt19937_64 random(20240601);
    std::vector<std::pair<uint64_t, uint64_t>> cases = {
        {0, 0}, {0, kMax}, {1, kMax}, {kMax, kMax}, {0xFFFFFFFFu, 0xFFFFFFFFu},
        {uint64_t{1} << 63, 2}, {0x100000000u, 0x100000000u}, {kMax, 1000000}};
    for (int i = 0; i < 20000; ++i) {
        // Mix full-width values with narrow ones, where carries are rarer.
        const int shiftA = static_cast<int>(random() % 64), shiftB = static_cast<int>(random() % 64);
        cases.emplace_back(random() >> shiftA, random() >> shiftB);
    }
    for (const auto& [a, b] : cases) {
        U128 product{1, 1};
        EXPECT_EQ(MulU64ToU128(a, b, &product), 0);
        ASSERT_TRUE(ToNative(product) == static_cast<u128>(a) * b) << a << " x " << b;
    }
}

TEST(WideMathTest, DivideMatchesNativeQuotient) {
    std::mt19937_64 random(77);
    struct Case {
        u128 dividend;
        uint64_t divisor;
    };
    std::vector<Case> cases = {
        {0, 1},
        {0, kMax},
        {~u128{0}, 1},                 // the quotient's high half is dropped
        {~u128{0}, kMax},
        {~u128{0}, uint64_t{1} << 63},
        {static_cast<u128>(kMax) * 1000000, 1000000000},
        {5, 7},
        {kMax, kMax},
        {static_cast<u128>(kMax) + 1, 2},
    };
    for (int i = 0; i < 20000; ++i) {
        const u128 dividend = (static_cast<u128>(random() >> (random() % 64)) << 64) | random();
        const uint64_t divisor = random() >> (random() % 64);
        if (divisor != 0) cases.push_back({dividend, divisor});
    }
    for (const Case& c : cases) {
        const U128 dividend{static_cast<uint64_t>(c.dividend), static_cast<uint64_t>(c.dividend >> 64)};
        uint64_t quotient = 123;
        EXPECT_EQ(DivU128ByU64(dividend, c.divisor, &quotient), 0);
        ASSERT_EQ(quotient, static_cast<uint64_t>(c.dividend / c.divisor))
            << "divisor " << c.divisor;
    }
}

TEST(WideMathTest, ZeroDivisorIsRefused) {
    uint64_t quotient = 99;
    EXPECT_EQ(DivU128ByU64(U128{12345, 6}, 0, &quotient), -1);
    EXPECT_EQ(quotient, 0u);
}

}  // namespace
