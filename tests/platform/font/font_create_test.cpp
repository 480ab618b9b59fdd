// Making fonts: GDI's height rules and text metrics, face names, refused arguments, a
// missing font file, and selecting fonts into device contexts.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/debug_output.h"
#include "platform/testing/font_test_controls.h"
#include "tests/platform/font/font_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using fonttest::ScopedFont;

// The fonts the library and the tools use must be there wherever the tests run (CI installs
// them with scripts/install-deps.sh).
TEST(FontCreate, TheInstalledDefaultFaceIsFound) {
    ScopedFont f(16);
    ASSERT_NE(f.font, nullptr) << "install fonts-ipafont-gothic (scripts/install-deps.sh)";
    ScopedFont p(16, plat::FW_NORMAL, 0, "ＭＳ Ｐゴシック");
    ASSERT_NE(p.font, nullptr);
}

struct HeightCase {
    int32_t height;
    int32_t expectedCell;  // 0: the cell is whatever the em gives
};

class FontHeight : public ::testing::TestWithParam<HeightCase> {};

TEST_P(FontHeight, MetricsFollowGdiHeightRules) {
    const HeightCase c = GetParam();
    ScopedFont f(c.height);
    ASSERT_NE(f.font, nullptr);
    const plat::TextMetric tm = f.Metrics();
    EXPECT_EQ(tm.ascent + tm.descent, tm.height);
    if (c.expectedCell != 0) {
        EXPECT_EQ(tm.height, c.expectedCell);
    }
    EXPECT_GT(tm.ascent, tm.descent);
    EXPECT_GE(tm.internalLeading, 0);
    EXPECT_GE(tm.externalLeading, 0);
    EXPECT_GT(tm.aveCharWidth, 0);
    EXPECT_GE(tm.maxCharWidth, tm.aveCharWidth);
    EXPECT_LE(tm.maxCharWidth, tm.height);
    EXPECT_EQ(tm.weight, plat::FW_NORMAL);
    EXPECT_EQ(tm.charSet, plat::SHIFTJIS_CHARSET);
    if (c.height < 0) {
        // A character height: the em is exactly that, the cell adds the internal leading.
        EXPECT_EQ(tm.height - tm.internalLeading, -c.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, FontHeight,
                         ::testing::Values(HeightCase{16, 16}, HeightCase{24, 24},
                                           HeightCase{9, 9}, HeightCase{0, 16},
                                           HeightCase{-16, 0}, HeightCase{-40, 0}));

TEST(FontCreate, ACharacterHeightMakesALargerCellThanTheSameCellHeight) {
    ScopedFont cell(16), em(-16);
    EXPECT_GT(em.Metrics().height, cell.Metrics().height);
}

TEST(FontCreate, BoldIsAtLeastAsWideAndReportsItsWeight) {
    ScopedFont normal(16), bold(16, plat::FW_BOLD);
    const plat::TextMetric n = normal.Metrics(), b = bold.Metrics();
    EXPECT_EQ(b.weight, plat::FW_BOLD);
    EXPECT_EQ(b.height, n.height);
    EXPECT_GE(b.aveCharWidth, n.aveCharWidth);
    EXPECT_GE(b.maxCharWidth, n.maxCharWidth);
    for (uint32_t code : {uint32_t{'A'}, uint32_t{'W'}, 0x8ABFu}) {
        const auto gn = fonttest::Fetch(normal.dc, code, plat::GGO_GRAY4_BITMAP);
        const auto gb = fonttest::Fetch(bold.dc, code, plat::GGO_GRAY4_BITMAP);
        EXPECT_GE(gb.metrics.cellIncX, gn.metrics.cellIncX) << code;
        EXPECT_GE(gb.metrics.blackBoxX, gn.metrics.blackBoxX) << code;
    }
}

TEST(FontCreate, AWidthScalesTheGlyphsHorizontally) {
    ScopedFont natural(24), wide(24, plat::FW_NORMAL, 0, "", 24);
    ASSERT_NE(wide.font, nullptr);
    EXPECT_EQ(wide.Metrics().height, natural.Metrics().height);
    EXPECT_NEAR(wide.Metrics().aveCharWidth, 24, 1);
    const auto gn = fonttest::Fetch(natural.dc, 'M', plat::GGO_BITMAP);
    const auto gw = fonttest::Fetch(wide.dc, 'M', plat::GGO_BITMAP);
    EXPECT_GT(gw.metrics.cellIncX, gn.metrics.cellIncX);
    EXPECT_EQ(gw.metrics.blackBoxY, gn.metrics.blackBoxY);
}

TEST(FontCreate, ItalicAndUnderlineAreReported) {
    fonttest::ScopedFont f(16, plat::FW_NORMAL, 1);
    ASSERT_NE(f.font, nullptr);
    EXPECT_EQ(f.Metrics().italic, 1);
    plat::Font* u = plat::CreateFontA(16, 0, 0, 0, 0, 0, 1, 1, plat::DEFAULT_CHARSET, 0, 0, 0,
                                      0, nullptr);
    ASSERT_NE(u, nullptr);
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    plat::SelectObject(dc, u);
    plat::TextMetric tm{};
    ASSERT_TRUE(plat::GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.underlined, 1);
    EXPECT_EQ(tm.struckOut, 1);
    EXPECT_EQ(tm.weight, plat::FW_NORMAL);  // FW_DONTCARE
    EXPECT_EQ(tm.charSet, plat::DEFAULT_CHARSET);
    plat::SelectObject(dc, static_cast<plat::Font*>(nullptr));
    plat::DeleteDC(dc);
    EXPECT_TRUE(plat::DeleteObject(u));
}

// The glyph bitmap of 'i' and of a kanji in a face, to compare faces.
std::string Signature(plat::DeviceContext* dc) {
    std::string s;
    for (uint32_t code : {uint32_t{'i'}, 0x8ABFu}) {
        const auto g = fonttest::Fetch(dc, code, plat::GGO_BITMAP);
        s += std::to_string(g.metrics.cellIncX) + ":" + fonttest::Joined(fonttest::Art(g, 1));
    }
    return s;
}

TEST(FontCreate, OtherFaceNamesTakeTheDefaultFace) {
    ScopedFont standard(16, plat::FW_NORMAL, 0, "");
    const std::string expected = Signature(standard.dc);
    for (const char* name : {"ＭＳ ゴシック", "No Such Face", "IPAGothic", "Courier New"}) {
        ScopedFont f(16, plat::FW_NORMAL, 0, name);
        ASSERT_NE(f.font, nullptr) << name;
        EXPECT_EQ(Signature(f.dc), expected) << name;
        EXPECT_EQ(f.Metrics().pitchAndFamily & plat::TMPF_FIXED_PITCH, 0) << name;
    }
}

TEST(FontCreate, ProportionalNamesTakeTheProportionalFace) {
    ScopedFont fixed(16);
    ScopedFont prop(16, plat::FW_NORMAL, 0, "ＭＳ Ｐゴシック");
    ScopedFont ascii(16, plat::FW_NORMAL, 0, "ms pgothic");
    const auto fi = fonttest::Fetch(fixed.dc, 'i', plat::GGO_BITMAP);
    const auto pi = fonttest::Fetch(prop.dc, 'i', plat::GGO_BITMAP);
    EXPECT_LT(pi.metrics.cellIncX, fi.metrics.cellIncX);  // a narrow 'i'
    EXPECT_NE(prop.Metrics().pitchAndFamily & plat::TMPF_FIXED_PITCH, 0);
    EXPECT_EQ(Signature(ascii.dc), Signature(prop.dc));
}

TEST(FontCreate, RefusedArgumentsGiveNullAndALogLine) {
    struct Case {
        int32_t height, width, weight;
    };
    for (const Case c : {Case{5000, 0, 400}, Case{-5000, 0, 400}, Case{16, -1, 400},
                         Case{16, 5000, 400}, Case{16, 0, -1}, Case{16, 0, 1001}}) {
        plat::StartDebugCapture();
        EXPECT_EQ(plat::CreateFontA(c.height, c.width, 0, 0, c.weight, 0, 0, 0,
                                    plat::SHIFTJIS_CHARSET, 0, 0, 0, 0, ""),
                  nullptr)
            << c.height << " " << c.width << " " << c.weight;
        EXPECT_NE(plat::TakeDebugCapture().find("font: "), std::string::npos);
        plat::StopDebugCapture();
    }
}

TEST(FontCreate, AMissingFontFileGivesNullAndALogLineNamingIt) {
    ScopedTempDir empty;
    plat::UseFontFolderForTest(empty.str().c_str());
    plat::StartDebugCapture();
    plat::Font* font = plat::CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, plat::SHIFTJIS_CHARSET, 0,
                                         0, 0, 0, "");
    const std::string log = plat::TakeDebugCapture();
    plat::StopDebugCapture();
    plat::RestoreFontFolder();
    EXPECT_EQ(font, nullptr);
    EXPECT_NE(log.find("ipag.ttf"), std::string::npos) << log;
    // And the installed fonts are found again.
    ScopedFont back(16);
    EXPECT_NE(back.font, nullptr);
}

TEST(FontCreate, AFileThatIsNoFontGivesNull) {
    ScopedTempDir folder;
    {
        FILE* f = std::fopen((folder.str() + "/ipag.ttf").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a font at all", f);
        std::fclose(f);
    }
    plat::UseFontFolderForTest(folder.str().c_str());
    plat::StartDebugCapture();
    plat::Font* font = plat::CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, nullptr);
    const std::string log = plat::TakeDebugCapture();
    plat::StopDebugCapture();
    plat::RestoreFontFolder();
    EXPECT_EQ(font, nullptr);
    EXPECT_NE(log.find("font: "), std::string::npos);
}

TEST(FontSelect, SelectReturnsThePreviousFontAndGuardsDeletion) {
    plat::Font* a = plat::CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, 128, 0, 0, 3, 1, "");
    plat::Font* b = plat::CreateFontA(24, 0, 0, 0, 400, 0, 0, 0, 128, 0, 0, 3, 1, "");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    plat::TextMetric tm{};
    EXPECT_FALSE(plat::GetTextMetricsA(dc, &tm));  // nothing selected yet
    EXPECT_EQ(plat::SelectObject(dc, a), nullptr);
    EXPECT_EQ(plat::SelectObject(dc, b), a);
    ASSERT_TRUE(plat::GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.height, 24);
    EXPECT_TRUE(plat::DeleteObject(a));   // no longer selected
    EXPECT_FALSE(plat::DeleteObject(b));  // still selected
    EXPECT_EQ(plat::SelectObject(dc, static_cast<plat::Font*>(nullptr)), b);
    EXPECT_TRUE(plat::DeleteObject(b));
    EXPECT_FALSE(plat::DeleteObject(static_cast<plat::Font*>(nullptr)));
    EXPECT_FALSE(plat::GetTextMetricsA(dc, nullptr));
    EXPECT_FALSE(plat::GetTextMetricsA(nullptr, &tm));
    EXPECT_EQ(plat::SelectObject(nullptr, static_cast<plat::Font*>(nullptr)), nullptr);
    plat::DeleteDC(dc);
}

}  // namespace
