// Glyphs: properties that hold for any FreeType build over a table of characters and
// formats, spaces, missing characters, the refused calls, transforms, string extents and
// calls from several threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/platform/font/font_fixture.h"

namespace {

using fonttest::Fetch;
using fonttest::Glyph;
using fonttest::Pixel;
using fonttest::ScopedFont;

uint32_t MaxLevel(uint32_t format) {
    switch (format) {
        case plat::GGO_BITMAP: return 1;
        case plat::GGO_GRAY2_BITMAP: return 4;
        case plat::GGO_GRAY4_BITMAP: return 16;
        default: return 64;
    }
}

struct GlyphCase {
    uint32_t code;
    const char* what;
};

// 'A', 'g' (below the baseline), half-width katakana ｱ, 漢 and full-width Ａ, in Shift-JIS.
constexpr GlyphCase kCharacters[] = {
    {'A', "A"}, {'g', "g"}, {0xB1, "half-width a"}, {0x8ABF, "kan"}, {0x8260, "full-width A"},
};
constexpr uint32_t kFormats[] = {plat::GGO_BITMAP, plat::GGO_GRAY2_BITMAP,
                                 plat::GGO_GRAY4_BITMAP, plat::GGO_GRAY8_BITMAP};

class GlyphProperties : public ::testing::TestWithParam<int32_t> {};

TEST_P(GlyphProperties, HoldForEveryCharacterAndFormat) {
    ScopedFont f(GetParam());
    ASSERT_NE(f.font, nullptr);
    const plat::TextMetric tm = f.Metrics();
    for (const GlyphCase& c : kCharacters) {
        for (uint32_t format : kFormats) {
            SCOPED_TRACE(std::string(c.what) + " format " + std::to_string(format));
            const Glyph g = Fetch(f.dc, c.code, format);
            const plat::GlyphMetrics& m = g.metrics;
            ASSERT_GT(g.size, 0u);
            EXPECT_GT(m.cellIncX, 0);
            EXPECT_EQ(m.cellIncY, 0);
            // The black box lies within the cell: right of the pen (give or take the
            // antialiased edge), not wider than the advance by more than a pixel, and between
            // the cell's top and bottom.
            EXPECT_GE(m.glyphOrigin.x, -1);
            EXPECT_LE(m.glyphOrigin.x + int32_t(m.blackBoxX), m.cellIncX + 1);
            EXPECT_LE(m.glyphOrigin.y, tm.ascent);
            EXPECT_GE(m.glyphOrigin.y - int32_t(m.blackBoxY), -tm.descent);
            // Rows are padded to 4 bytes and the size is rows × height.
            const uint32_t rowBytes = format == plat::GGO_BITMAP ? (m.blackBoxX + 31) / 32 * 4
                                                                 : (m.blackBoxX + 3) / 4 * 4;
            EXPECT_EQ(g.size, rowBytes * m.blackBoxY);
            uint32_t inked = 0, maxSeen = 0;
            for (uint32_t y = 0; y < m.blackBoxY; ++y) {
                for (uint32_t x = 0; x < m.blackBoxX; ++x) {
                    const uint32_t v = Pixel(g, format, x, y);
                    inked += v != 0;
                    maxSeen = std::max(maxSeen, v);
                }
                // Padding is written as zeros.
                const uint8_t* row = g.bits.data() + size_t(y) * rowBytes;
                if (format == plat::GGO_BITMAP) {
                    for (uint32_t x = m.blackBoxX; x < rowBytes * 8; ++x) {
                        EXPECT_EQ((row[x / 8] >> (7 - x % 8)) & 1, 0) << x << "," << y;
                    }
                } else {
                    for (uint32_t x = m.blackBoxX; x < rowBytes; ++x) EXPECT_EQ(row[x], 0);
                }
            }
            EXPECT_GT(inked, 0u);
            EXPECT_LE(maxSeen, MaxLevel(format));
            // Gray levels reach the top where a stroke covers whole pixels; thin strokes at
            // small sizes may not.
            if (format != plat::GGO_BITMAP && GetParam() >= 48) {
                EXPECT_EQ(maxSeen, MaxLevel(format));
            }
            EXPECT_GT(maxSeen * 2, MaxLevel(format));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GlyphProperties, ::testing::Values(12, 16, -24, 48));

TEST(Glyph, TheFormatsAgreeOnMetrics) {
    ScopedFont f(16);
    const Glyph mono = Fetch(f.dc, 0x8ABF, plat::GGO_BITMAP);
    plat::GlyphMetrics only{};
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 0x8ABF, plat::GGO_METRICS, &only, 0, nullptr,
                                     &fonttest::kIdentity),
              0u);
    for (uint32_t format : kFormats) {
        const Glyph g = Fetch(f.dc, 0x8ABF, format);
        EXPECT_EQ(g.metrics.blackBoxX, mono.metrics.blackBoxX);
        EXPECT_EQ(g.metrics.blackBoxY, mono.metrics.blackBoxY);
        EXPECT_EQ(g.metrics.glyphOrigin.x, only.glyphOrigin.x);
        EXPECT_EQ(g.metrics.glyphOrigin.y, only.glyphOrigin.y);
        EXPECT_EQ(g.metrics.cellIncX, only.cellIncX);
    }
}

TEST(Glyph, SpacesHaveNoBitmapButAnAdvance) {
    ScopedFont f(16);
    for (uint32_t code : {0x20u, 0x8140u}) {
        for (uint32_t format : kFormats) {
            plat::GlyphMetrics m{};
            uint8_t buffer[16] = {};
            EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, code, format, &m, 0, nullptr,
                                             &fonttest::kIdentity),
                      0u);
            EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, code, format, &m, sizeof buffer, buffer,
                                             &fonttest::kIdentity),
                      0u);
            EXPECT_EQ(m.blackBoxX, 1u);
            EXPECT_EQ(m.blackBoxY, 1u);
            EXPECT_GT(m.cellIncX, 0);
        }
    }
    plat::GlyphMetrics half{}, full{};
    plat::GetGlyphOutlineA(f.dc, 0x20, 1, &half, 0, nullptr, &fonttest::kIdentity);
    plat::GetGlyphOutlineA(f.dc, 0x8140, 1, &full, 0, nullptr, &fonttest::kIdentity);
    EXPECT_GT(full.cellIncX, half.cellIncX);
}

// Codes Shift-JIS does not map (an unassigned double-byte pair, a lone lead byte, a pair
// whose high byte is no lead byte) are drawn with the face's missing glyph, never refused:
// the library treats a failed glyph as fatal, and a stray byte in a string must not end it.
TEST(Glyph, UnmappedCodesGiveTheMissingGlyph) {
    ScopedFont f(16);
    const Glyph missing = Fetch(f.dc, 0 | plat::GGO_GLYPH_INDEX, plat::GGO_BITMAP);
    for (uint32_t code : {0x8540u, 0x81u, 0x4142u, 0xFCFCu}) {
        const Glyph g = Fetch(f.dc, code, plat::GGO_BITMAP);
        EXPECT_EQ(g.size, missing.size) << std::hex << code;
        EXPECT_EQ(g.bits, missing.bits) << std::hex << code;
        EXPECT_EQ(g.metrics.cellIncX, missing.metrics.cellIncX);
    }
    // '?' itself is a character, not the missing glyph.
    const Glyph question = Fetch(f.dc, '?', plat::GGO_BITMAP);
    EXPECT_GT(question.size, 0u);
}

TEST(Glyph, RefusedCallsGiveGdiError) {
    ScopedFont f(16);
    plat::GlyphMetrics m{};
    uint8_t buffer[4096];
    const plat::Mat2& id = fonttest::kIdentity;
    const uint32_t size = plat::GetGlyphOutlineA(f.dc, 'A', 1, &m, 0, nullptr, &id);
    ASSERT_GT(size, 4u);
    ASSERT_LE(size, sizeof buffer);
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 'A', 1, &m, size - 1, buffer, &id), plat::GDI_ERROR);
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 'A', 1, &m, sizeof buffer, buffer, &id), size);
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 'A', 1, &m, 0, nullptr, nullptr), plat::GDI_ERROR);
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 'A', 1, nullptr, 0, nullptr, &id), plat::GDI_ERROR);
    EXPECT_EQ(plat::GetGlyphOutlineA(nullptr, 'A', 1, &m, 0, nullptr, &id), plat::GDI_ERROR);
    for (uint32_t format : {2u, 3u, 7u, 0x81u | 0x100u}) {
        EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 'A', format, &m, 0, nullptr, &id),
                  plat::GDI_ERROR)
            << format;
    }
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 0x10000, 1, &m, 0, nullptr, &id), plat::GDI_ERROR);
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 0xFFFFFF | plat::GGO_GLYPH_INDEX, 1, &m, 0, nullptr,
                                     &id),
              plat::GDI_ERROR);
    plat::DeviceContext* bare = plat::CreateCompatibleDC(nullptr);
    EXPECT_EQ(plat::GetGlyphOutlineA(bare, 'A', 1, &m, 0, nullptr, &id), plat::GDI_ERROR);
    plat::DeleteDC(bare);
}

TEST(Glyph, TheTransformScalesAndTurnsTheGlyph) {
    ScopedFont f(16);
    const Glyph plain = Fetch(f.dc, 0x8ABF, plat::GGO_GRAY8_BITMAP);
    const plat::Mat2 twice{{0, 2}, {0, 0}, {0, 0}, {0, 2}};
    const Glyph big = Fetch(f.dc, 0x8ABF, plat::GGO_GRAY8_BITMAP, twice);
    EXPECT_NEAR(big.metrics.cellIncX, 2 * plain.metrics.cellIncX, 1);
    EXPECT_NEAR(big.metrics.blackBoxX, 2 * plain.metrics.blackBoxX, 2);
    EXPECT_NEAR(big.metrics.blackBoxY, 2 * plain.metrics.blackBoxY, 2);
    // A quarter turn to the left: the advance points up, width and height swap.
    const plat::Mat2 turn{{0, 0}, {0, 1}, {0, -1}, {0, 0}};
    const Glyph turned = Fetch(f.dc, 0x8ABF, plat::GGO_GRAY8_BITMAP, turn);
    EXPECT_EQ(turned.metrics.cellIncX, 0);
    EXPECT_EQ(turned.metrics.cellIncY, plain.metrics.cellIncX);
    EXPECT_NEAR(turned.metrics.blackBoxX, plain.metrics.blackBoxY, 1);
    EXPECT_NEAR(turned.metrics.blackBoxY, plain.metrics.blackBoxX, 1);
    // A transform too large for a bitmap is refused, not allocated.
    const plat::Mat2 huge{{0, 32767}, {0, 0}, {0, 0}, {0, 32767}};
    plat::GlyphMetrics m{};
    EXPECT_EQ(plat::GetGlyphOutlineA(f.dc, 0x8ABF, plat::GGO_BITMAP, &m, 0, nullptr, &huge),
              plat::GDI_ERROR);
}

TEST(Glyph, ItalicLeansRightWithTheSameAdvance) {
    ScopedFont upright(32), italic(32, plat::FW_NORMAL, 1);
    const Glyph u = Fetch(upright.dc, 'I', plat::GGO_BITMAP);
    const Glyph i = Fetch(italic.dc, 'I', plat::GGO_BITMAP);
    EXPECT_EQ(i.metrics.cellIncX, u.metrics.cellIncX);
    EXPECT_GT(i.metrics.blackBoxX, u.metrics.blackBoxX);
    // The top row's ink starts further right than the bottom row's.
    auto firstInk = [](const Glyph& g, uint32_t y) {
        for (uint32_t x = 0; x < g.metrics.blackBoxX; ++x) {
            if (Pixel(g, plat::GGO_BITMAP, x, y)) return int32_t(x);
        }
        return -1;
    };
    EXPECT_GT(firstInk(i, 0), firstInk(i, i.metrics.blackBoxY - 1));
}

TEST(TextExtent, SumsTheAdvancesOfShiftJisText) {
    ScopedFont f(16);
    const std::string text = "A漢 ";
    plat::TextSize size{};
    ASSERT_TRUE(plat::GetTextExtentPoint32A(f.dc, text.data(), int32_t(text.size()), &size));
    int32_t sum = 0;
    for (uint32_t code : {uint32_t{'A'}, 0x8ABFu, 0x20u}) {
        plat::GlyphMetrics m{};
        plat::GetGlyphOutlineA(f.dc, code, 0, &m, 0, nullptr, &fonttest::kIdentity);
        sum += m.cellIncX;
    }
    EXPECT_EQ(size.cx, sum);
    EXPECT_EQ(size.cy, f.Metrics().height);
    ASSERT_TRUE(plat::GetTextExtentPoint32A(f.dc, "", 0, &size));
    EXPECT_EQ(size.cx, 0);
    ASSERT_TRUE(plat::GetTextExtentPoint32A(f.dc, "\x8A", 1, &size));  // a lone lead byte
    EXPECT_GT(size.cx, 0);
    EXPECT_FALSE(plat::GetTextExtentPoint32A(f.dc, "A", -1, &size));
    EXPECT_FALSE(plat::GetTextExtentPoint32A(f.dc, nullptr, 1, &size));
    EXPECT_FALSE(plat::GetTextExtentPoint32A(f.dc, "A", 1, nullptr));
}

TEST(Glyph, ThreadsRenderTheSameGlyphsAsOneThread) {
    const uint32_t codes[] = {'A', 'g', 0x8ABF, 0x82A0, 0xB1};
    std::vector<std::vector<uint8_t>> expected;
    {
        ScopedFont f(20);
        for (uint32_t c : codes) expected.push_back(Fetch(f.dc, c, plat::GGO_GRAY4_BITMAP).bits);
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            ScopedFont f(20);  // each thread its own font and device context
            for (int round = 0; round < 20; ++round) {
                for (size_t i = 0; i < std::size(codes); ++i) {
                    Glyph g;
                    g.size = plat::GetGlyphOutlineA(f.dc, codes[i], plat::GGO_GRAY4_BITMAP,
                                                    &g.metrics, 0, nullptr, &fonttest::kIdentity);
                    g.bits.resize(g.size);
                    plat::GetGlyphOutlineA(f.dc, codes[i], plat::GGO_GRAY4_BITMAP, &g.metrics,
                                           g.size, g.bits.data(), &fonttest::kIdentity);
                    mismatches[t] += g.bits != expected[i];
                }
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
