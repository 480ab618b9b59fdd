#include "graph_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "font_glyph.h"
#include "number_text.h"

namespace {

TEST(GraphTextTest, SetTextCopiesNoMoreThanTheTextHoldsNorMoreThan39) {
    // A text placed at the end of a page that may not be read past: a short text with a long
    // count must stop at its terminator.
    const char shortText[] = {'H', 'I', '\0'};
    const std::string long50(50, 'A');
    struct Case {
        const char* text;
        int length;
        const char* kept;
    };
    const Case cases[] = {
        {shortText, 39, "HI"},      {"START", 5, "START"},  {"START", 3, "STA"},
        {"START", 0, ""},           {"START", -4, ""},      {nullptr, 10, ""},
        {long50.c_str(), 50, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
        {long50.c_str(), 1000, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text != nullptr ? c.text : "(null)") + " " +
                     std::to_string(c.length));
        GraphText t;
        t.setText(10.5, 20.0, c.text, c.length, true);
        EXPECT_STREQ(t.getText(), c.kept);
        EXPECT_EQ(t.getLength(), static_cast<int>(std::strlen(c.kept)));
        EXPECT_TRUE(t.isActive());
        EXPECT_TRUE(t.isLarge());
        EXPECT_EQ(t.getX(), 10.5);
        EXPECT_EQ(t.getR() + t.getG() + t.getB(), 3 * 255);
    }
}

TEST(GraphTextTest, SetNumberKeepsTheLowestDigitsZeroPadded) {
    struct Case {
        int value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {12345, 9, "000012345"}, {1234567890, 9, "234567890"}, {0, 3, "000"},
        {-42, 3, "000"},         {12, 1, "2"},                 {7, 0, ""},
        {2147483647, 10, "2147483647"},
        {5, 60, "000000000000000000000000000000000000005"},  // at most 39 places
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.digits));
        GraphText t;
        t.setNumber(0, 0, c.value, c.digits, false);
        EXPECT_STREQ(t.getText(), c.text);
        EXPECT_EQ(t.getLength(), static_cast<int>(std::strlen(c.text)));
    }
}

TEST(GraphTextArrayTest, ItemsTakeTheCurrentBrightnessAndTheHundredAndFirstIsDropped) {
    GraphTextArray texts;
    texts.addText(1, 2, "A", 1, false);
    texts.setBright(128);
    texts.addNumber(3, 4, 7, 2, true);
    EXPECT_EQ(texts.at(0).getR(), 255);
    EXPECT_EQ(texts.at(1).getG(), 128);
    EXPECT_STREQ(texts.at(1).getText(), "07");
    for (int i = 2; i < 105; ++i) texts.addText(i, 0, "X", 1, false);
    EXPECT_EQ(texts.getUsed(), 100u);
    EXPECT_EQ(texts.at(99).getX(), 99);

    texts.clear();
    EXPECT_EQ(texts.getUsed(), 0u);
    for (uint32_t i = 0; i < texts.size(); ++i) EXPECT_FALSE(texts.at(i).isActive());
    // Brightness is back to white after a clear.
    texts.addText(0, 0, "B", 1, false);
    EXPECT_EQ(texts.at(0).getB(), 255);
}

TEST(FontGlyphTest, CharactersMapToTheirTiles) {
    struct Case {
        char c;
        int tile;
    };
    const Case cases[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'a', 10}, {'Z', 35}, {'z', 35},
                          {'"', 40}, {':', 41}, {'\'', 42}, {'?', 43}, {'!', 44}, {'/', 45},
                          {' ', -1}, {'.', -1}, {'-', -1}, {'\0', -1}, {'\x82', -1}};
    for (const Case& c : cases) EXPECT_EQ(fontGlyphIndex(c.c), c.tile) << int(c.c);
}

TEST(NumberTextTest, FormatPlacesWritesExactlyThePlacesAndATerminator) {
    char out[8];
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(formatPlaces(out, 123456, 4), 4);
    EXPECT_STREQ(out, "3456");
    EXPECT_EQ(out[5], 'x');
    EXPECT_EQ(formatPlaces(out, 5, -3), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
