// The run of a span's pixels that map inside the source, against the pixel-by-pixel test of
// the wrapped 32-bit coordinate: a table of the named cases, then every small combination.
#include "softrender/triangle/triangle_texel_range.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int64_t kOne = 262144;
constexpr int64_t kPeriod = int64_t{1} << 32;

// The pixels that pass, tested one by one as the span loops once did: 32-bit wrapping.
TexelRun Tested(int64_t t0, int64_t dt, int32_t n, uint32_t bound) {
    int32_t first = -1, end = -1;
    uint32_t t = static_cast<uint32_t>(t0);
    for (int32_t i = 0; i < n; ++i) {
        if (t < bound) {
            if (first < 0) first = i;
            EXPECT_TRUE(end < 0) << "the passing pixels are not one run";
        } else if (first >= 0 && end < 0) {
            end = i;
        }
        t += static_cast<uint32_t>(dt);
    }
    if (first < 0) return TexelRun{0, 0};
    return TexelRun{first, end < 0 ? n : end};
}

struct RunCase {
    const char* name;
    int64_t t0, dt;
    int32_t n;
    uint32_t bound;
    bool found;
    TexelRun run;
};

TEST(TriangleTexelRangeTest, Table) {
    const uint32_t b4 = 4 * kOne;
    const RunCase cases[] = {
        {"rising out of the source", 0, kOne, 10, b4, true, {0, 4}},
        {"rising into it from below 0", -2 * kOne - 1, kOne, 10, b4, true, {3, 7}},
        {"falling into it from beyond the width", 6 * kOne, -kOne, 10, b4, true, {3, 7}},
        {"falling out below 0", 3 * kOne, -kOne, 10, b4, true, {0, 4}},
        {"u = width exactly is outside", b4, 0, 5, b4, true, {0, 0}},
        {"constant inside", kOne, 0, 5, b4, true, {0, 5}},
        {"no pixels", 0, kOne, 0, b4, true, {0, 0}},
        {"one period up: 2^32 wraps to 0", kPeriod, kOne, 10, b4, true, {0, 4}},
        {"a span across 2^32", kPeriod - kOne, kOne, 10, b4, false, {}},
        {"a span from far below 0 across it", -kPeriod + kOne, kPeriod / 4, 10, b4, false, {}},
    };
    for (const RunCase& c : cases) {
        TexelRun run{-1, -1};
        EXPECT_EQ(FindTexelRun(c.t0, c.dt, c.n, c.bound, &run), c.found) << c.name;
        if (!c.found) continue;
        const TexelRun tested = Tested(c.t0, c.dt, c.n, c.bound);
        EXPECT_EQ(run.first < run.end, tested.first < tested.end) << c.name;
        if (tested.first < tested.end) {
            EXPECT_EQ(run.first, tested.first) << c.name;
            EXPECT_EQ(run.end, tested.end) << c.name;
        }
        if (c.run.first < c.run.end) {
            EXPECT_EQ(run.first, c.run.first) << c.name;
            EXPECT_EQ(run.end, c.run.end) << c.name;
        } else {
            EXPECT_GE(run.first, run.end) << c.name;
        }
    }
}

TEST(TriangleTexelRangeTest, AgreesWithThePixelByPixelTest) {
    const int64_t starts[] = {-kPeriod, -kPeriod + 5, -3 * kOne - 7,      -1,      0,
                              1,        5 * kOne + 3, kPeriod - 3 * kOne, kPeriod, 2 * kPeriod + 9};
    const int64_t steps[] = {
        0,         1,        -1, kOne, -kOne, kOne / 3, -kOne / 3, 3 * kOne + 1, -(3 * kOne + 1),
        INT32_MAX, INT32_MIN};
    for (const uint32_t bound :
         {0u, 1u, static_cast<uint32_t>(4 * kOne), 0x80000000u, 0xFFFC0000u}) {
        for (const int64_t t0 : starts) {
            for (const int64_t dt : steps) {
                for (const int32_t n : {1, 2, 7, 40}) {
                    TexelRun run{-1, -1};
                    if (!FindTexelRun(t0, dt, n, bound, &run)) continue;
                    const TexelRun tested = Tested(t0, dt, n, bound);
                    const bool any = tested.first < tested.end;
                    ASSERT_EQ(run.first < run.end, any)
                        << t0 << " " << dt << " " << n << " " << bound;
                    if (any) {
                        ASSERT_EQ(run.first, tested.first) << t0 << " " << dt << " " << n;
                        ASSERT_EQ(run.end, tested.end) << t0 << " " << dt << " " << n;
                    }
                }
            }
        }
    }
}

}  // namespace
