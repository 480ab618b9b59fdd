// The message box the SDL2 backend draws itself: Japanese text and button labels in real
// glyphs, the focused button marked, the box sized to what it holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/sdl2/sdl2_message_box.h"
#include "platform/core/text_encoding.h"

namespace {

using plat::DrawnMessageBoxButton;

constexpr uint32_t kBackground = 0x00F0F0F0;
constexpr uint32_t kFocusEdge = 0x000078D7;

bool IsInk(uint32_t v) { return ((v >> 16) & 0xFF) < 0x90 && ((v >> 8) & 0xFF) < 0x90; }

struct Picture {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int InkIn(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) n += IsInk(at(x, y));
        }
        return n;
    }
};

Picture Draw(const std::string& utf8Text, const std::vector<std::string>& utf8Labels, int focus) {
    const std::string text = plat::Utf8ToSjis(utf8Text);
    std::vector<std::string> labels;
    for (const std::string& l : utf8Labels) labels.push_back(plat::Utf8ToSjis(l));
    std::vector<DrawnMessageBoxButton> buttons;
    for (size_t i = 0; i < labels.size(); ++i) {
        buttons.push_back({static_cast<int>(i) + 6, labels[i].c_str(), i == 0, i + 1 == labels.size()});
    }
    Picture p;
    p.pixels = plat::DrawMessageBoxPicture(text.c_str(), buttons, focus, &p.width, &p.height);
    return p;
}

TEST(DrawnMessageBoxTest, TextAndLabelsAreDrawnInGlyphsAndTheFocusIsMarked) {
    const Picture p = Draw("フルスクリーンで起動しますか？", {"はい", "いいえ", "キャンセル"}, 1);
    ASSERT_FALSE(p.pixels.empty()) << "the platform font could not be made";
    ASSERT_EQ(p.pixels.size(), static_cast<size_t>(p.width) * p.height);
    EXPECT_GE(p.width, 240);
    EXPECT_LE(p.width, 1000);
    // The text row (top margin 24, one line) is inked; the corners stay background.
    EXPECT_GT(p.InkIn(20, 20, p.width - 20, 48), 100);
    EXPECT_EQ(p.at(0, 0), kBackground);
    EXPECT_EQ(p.at(p.width - 1, 0), kBackground);
    // Three buttons in the bottom row, each with its label inked; only the focused one (the
    // middle) has the focus edge.
    const int row = p.height - 12 - 2;
    std::vector<int> edgesAt;  // x of every focus-edge pixel on the row through the buttons
    for (int x = 0; x < p.width; ++x) {
        if (p.at(x, row - 10) == kFocusEdge) edgesAt.push_back(x);
    }
    ASSERT_EQ(edgesAt.size(), 4u);  // left and right edge, two pixels each
    const int focusLeft = edgesAt.front();
    const int focusRight = edgesAt.back();
    EXPECT_GT(focusLeft, p.width / 4);
    EXPECT_LT(focusRight, p.width - 100);
    EXPECT_GT(p.InkIn(focusLeft + 2, row - 26, focusRight - 1, row), 30);
}

TEST(DrawnMessageBoxTest, LongerTextAndMoreLinesMakeALargerBox) {
    const Picture one = Draw("短い", {"OK"}, 0);
    const Picture wide = Draw("ずっと長いメッセージの行がここにあります。ずっと長い行です。", {"OK"}, 0);
    const Picture tall = Draw("一行目\n二行目\n三行目", {"OK"}, 0);
    ASSERT_FALSE(one.pixels.empty());
    EXPECT_GT(wide.width, one.width);
    EXPECT_EQ(wide.height, one.height);
    EXPECT_GT(tall.height, one.height);
    // Each of the three lines is inked.
    for (int line = 0; line < 3; ++line) {
        const int top = 24 + line * (tall.height - one.height) / 2;
        EXPECT_GT(tall.InkIn(20, top, tall.width - 20, top + 16), 20) << "line " << line;
    }
}

}  // namespace
