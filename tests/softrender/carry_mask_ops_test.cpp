// The word procedures against their per-channel descriptions, their listed cases, and the
// packed-byte rows against the exact per-byte results.
#include "softrender/rules/carry_mask_ops.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "softrender/rules/packed_byte_ops.h"
#include "tests/softrender/reference_model.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

TEST(CarryMaskOpsTest, WordProceduresGiveTheirPerChannelResults) {
    std::mt19937 rng(5);
    for (int n = 0; n < 200000; ++n) {
        const uint32_t d = EdgyWord32(rng), t = EdgyWord32(rng);
        ASSERT_EQ(CarryMaskAdd32(d, t & 0xFFFFFFu), ReferenceCarryAdd32(d, t & 0xFFFFFFu, true));
        ASSERT_EQ(CarryMaskAddUnscaled32(d, t), ReferenceCarryAdd32(d, t & 0xFFFFFFu, false));
        ASSERT_EQ(CarryMaskSub32(d, t), ReferenceCarrySub32(d, t));
        const uint32_t d16 = EdgyWord565(rng), e16 = EdgyWord565(rng);
        ASSERT_EQ(SaturatingAdd565(d16, e16), ReferenceSaturatingAdd565(d16, e16, true));
        ASSERT_EQ(SaturatingAddUnscaled565(d16, e16), ReferenceSaturatingAdd565(d16, e16, false));
        ASSERT_EQ(SaturatingSub565(d16, e16), ReferenceSaturatingSub565(d16, e16));
    }
}

TEST(CarryMaskOpsTest, SaturatingAdd565Cases) {
    struct Case {
        uint32_t d, e, expected;
    };
    const Case cases[] = {
        {0x0000, 0xFFFF, 0xFFFF},
        {Rgb565(0, 0, 31), Rgb565(0, 0, 1), Rgb565(0, 1, 31)},
        {Rgb565(0, 1, 0), Rgb565(0, 1, 0), Rgb565(0, 1, 0)},
        {Rgb565(0, 62, 0), Rgb565(0, 2, 0), Rgb565(1, 62, 0)},
        {Rgb565(10, 20, 10), Rgb565(5, 6, 7), Rgb565(15, 26, 17)},
        {Rgb565(10, 21, 13), 0, Rgb565(10, 21, 13)},
        {Rgb565(1, 1, 1), Rgb565(1, 1, 1), Rgb565(1, 1, 2)},
    };
    for (const Case& c : cases) EXPECT_EQ(SaturatingAdd565(c.d, c.e), c.expected) << std::hex << c.d << " + " << c.e;
}

TEST(CarryMaskOpsTest, SaturatingSub565Cases) {
    struct Case {
        uint32_t d, e, expected;
    };
    const Case cases[] = {
        {0xFFFF, 0, 0xFFFF & ~0x20u},
        {0, 0, 0x0800},
        {0xFFFF, 0xFFFF, 0x0800},
        {Rgb565(10, 20, 10), Rgb565(5, 6, 7), Rgb565(7, 14, 3)},
        {Rgb565(5, 5, 5), Rgb565(10, 10, 10), 0},
        {Rgb565(2, 2, 2), Rgb565(1, 1, 1), Rgb565(3, 2, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(SaturatingSub565(c.d, c.e), c.expected) << std::hex << c.d << " - " << c.e;
}

TEST(CarryMaskOpsTest, PairStepsUseTheGuardBit) {
    const uint32_t one = Rgb565(1, 1, 1);
    // Two (1,1,1) pixels added to two: the first loses its low green and red bits, the second
    // its blue, which served as the first pixel's red guard.
    EXPECT_EQ(SaturatingAddPair565(one | one << 16, one | one << 16), Rgb565(0, 0, 2) | 0u << 16);
    EXPECT_EQ(SaturatingSubPair565(0, 0), Rgb565(1, 0, 0) | Rgb565(1, 0, 1) << 16);
    // A red carry out of the second pixel fills its red.
    EXPECT_EQ(SaturatingAddPair565(0xF8000000u, 0xF8000000u) >> 27, 31u);
    // A red borrow out of the second pixel clears its red.
    EXPECT_EQ(SaturatingSubPair565(0x08000000u, 0xF0000000u) >> 27, 0u);
    // The half-average of a pair is that of each pixel.
    std::mt19937 rng(3);
    for (int n = 0; n < 10000; ++n) {
        const uint32_t a = rng(), b = rng();
        const uint32_t pair = HalfAveragePair565(a, b);
        ASSERT_EQ(pair & 0xFFFFu, HalfAverage565(a & 0xFFFF, b & 0xFFFF));
        ASSERT_EQ(pair >> 16, HalfAverage565(a >> 16, b >> 16));
    }
}

TEST(CarryMaskOpsTest, PackedRowsGiveExactBytes) {
    std::mt19937 rng(9);
    for (int n : {0, 1, 3, 4, 5, 17}) {
        std::vector<uint32_t> d(n), s(n);
        std::vector<uint8_t> indices(n);
        uint32_t palette[256];
        for (auto& p : palette) p = EdgyWord32(rng);
        for (int i = 0; i < n; ++i) {
            d[i] = EdgyWord32(rng);
            s[i] = EdgyWord32(rng);
            indices[i] = static_cast<uint8_t>(rng());
        }
        auto run = [&](auto op, auto expect) {
            std::vector<uint32_t> out = d;
            op(reinterpret_cast<uint8_t*>(out.data()));
            for (int i = 0; i < n; ++i) ASSERT_EQ(out[i], expect(i)) << i;
        };
        auto bytes = [&](const std::vector<uint32_t>& v) { return reinterpret_cast<const uint8_t*>(v.data()); };
        run([&](uint8_t* o) { PackedAddRow32(o, bytes(s), n); },
            [&](int i) { return SaturatingAddBytes32(d[i], s[i]); });
        run([&](uint8_t* o) { PackedSubRow32(o, bytes(s), n); },
            [&](int i) { return SaturatingSubBytes32(d[i], s[i]); });
        run([&](uint8_t* o) { PackedHalfAverageRow32(o, bytes(s), n); },
            [&](int i) { return HalfAverage32(d[i], s[i]); });
        run([&](uint8_t* o) { PackedAddRowPaletted32(o, indices.data(), palette, n); },
            [&](int i) { return SaturatingAddBytes32(d[i], palette[indices[i]]); });
        run([&](uint8_t* o) { PackedSubRowPaletted32(o, indices.data(), palette, n); },
            [&](int i) { return SaturatingSubBytes32(d[i], palette[indices[i]]); });
    }
    EXPECT_EQ(SaturatingAddBytes32(0xFF80017Fu, 0x01800102u), 0xFFFF0281u);
    EXPECT_EQ(SaturatingSubBytes32(0x05800302u, 0x0380017Fu), 0x02000200u);
}

}  // namespace
