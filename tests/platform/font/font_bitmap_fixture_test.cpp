// Exact glyph bitmaps of the installed IPA Gothic with the Debian FreeType build, so that a
// change in sizing, hinting, rendering or the row layout shows.
//
// How the fixtures were made: a font of height 16 (CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0,
// 0, SHIFTJIS_CHARSET, 0, 0, NONANTIALIASED_QUALITY, FIXED_PITCH, "")), the glyph fetched as
// below and printed with fonttest::Art. Reviewed by eye: the 'A' has two legs meeting at a
// two-pixel apex, a crossbar on its seventh row, antialiased edges on both sides, and sits a
// pixel above the baseline as IPA Gothic's Latin letters do; 漢 shows the water radical on
// the left (two dots and the rising stroke), the grass crown, the boxed middle, the cross and
// the spreading feet on the right; its last row is empty because the outline's box reaches
// into it by less than the half pixel that sets a bit. A failure prints the new bitmap.
#include <gtest/gtest.h>

#include "tests/platform/font/font_fixture.h"

namespace {

using fonttest::Art;
using fonttest::Fetch;
using fonttest::Joined;
using fonttest::ScopedFont;

TEST(GlyphFixture, LetterAInGray4At16) {
    ScopedFont f(16);
    const fonttest::Glyph g = Fetch(f.dc, 'A', plat::GGO_GRAY4_BITMAP);
    EXPECT_EQ(g.size, 80u);  // 10 rows of 8 bytes
    EXPECT_EQ(g.metrics.blackBoxX, 8u);
    EXPECT_EQ(g.metrics.blackBoxY, 10u);
    EXPECT_EQ(g.metrics.glyphOrigin.x, 0);
    EXPECT_EQ(g.metrics.glyphOrigin.y, 11);
    EXPECT_EQ(g.metrics.cellIncX, 8);
    const std::vector<std::string> expected = {
        "..2GA...",
        "..6DE...",
        "..B7F3..",
        "..F3B7..",
        ".3F.8B..",
        ".8C.4F..",
        ".CGGGG4.",
        "1G5..D8.",
        "5G1..8D.",
        "9C...4G1",
    };
    EXPECT_EQ(Art(g, plat::GGO_GRAY4_BITMAP), expected)
        << Joined(Art(g, plat::GGO_GRAY4_BITMAP));
}

TEST(GlyphFixture, KanjiInMonochromeAt16) {
    ScopedFont f(16);
    const fonttest::Glyph g = Fetch(f.dc, 0x8ABF, plat::GGO_BITMAP);  // 漢
    EXPECT_EQ(g.size, 56u);  // 14 rows of 4 bytes
    EXPECT_EQ(g.metrics.blackBoxX, 15u);
    EXPECT_EQ(g.metrics.blackBoxY, 14u);
    EXPECT_EQ(g.metrics.glyphOrigin.x, 0);
    EXPECT_EQ(g.metrics.glyphOrigin.y, 12);
    EXPECT_EQ(g.metrics.cellIncX, 15);
    const std::vector<std::string> expected = {
        ".......#..#....",
        "..#.##########.",
        "...#...#..#....",
        ".#...########..",
        ".##..#...#..#..",
        "..#..########..",
        ".........#.....",
        ".....########..",
        "...#.....#.....",
        "..#.##########.",
        "..#.....###....",
        ".#.....#..##...",
        ".#..###.....##.",
        "...............",
    };
    EXPECT_EQ(Art(g, plat::GGO_BITMAP), expected) << Joined(Art(g, plat::GGO_BITMAP));
}

}  // namespace
