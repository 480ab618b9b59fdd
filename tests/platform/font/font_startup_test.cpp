// The font back end under the library's real start-up on the headless backend, with the
// current directory moved to a temporary folder: the library's default font is made from the
// installed IPA Gothic, and fonts made afterwards render.
#include <gtest/gtest.h>

#include "tests/platform/font/font_fixture.h"
#include "tests/support/library_fixture.h"

namespace {

class FontStartupTest : public LibraryFixture {};

TEST_F(FontStartupTest, TheLibraryStartsItsFontsFromTheInstalledFaces) {
    StartWithoutPumpThread();
    EXPECT_TRUE(LogHas("フォントの初期化は正常に終了しました"));
    EXPECT_FALSE(LogHas("フォントの作成に失敗しました"));
    EXPECT_FALSE(LogHas("指定のフォントの作成に失敗しました"));

    fonttest::ScopedFont f(16);
    ASSERT_NE(f.font, nullptr);
    const fonttest::Glyph kanji = fonttest::Fetch(f.dc, 0x8ABF, plat::GGO_GRAY4_BITMAP);
    EXPECT_GT(kanji.size, 0u);
    ApiTermLibrary();
}

}  // namespace
