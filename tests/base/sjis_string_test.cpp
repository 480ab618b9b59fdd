#include "base/sjis_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>



namespace {

TEST(SjisStringTest, IsMultiByteLeadBySet) {
    // Shift-JIS: 0x81-0x9F and 0xE0-0xFC; half-width katakana (0xA1-0xDF) are single bytes.
    const struct {
        uint8_t byte;
        bool set1, set2;
    } cases[] = {{0x00, false, false}, {0x7F, false, false}, {0x80, false, true},
                 {0x81, true, true},   {0x9F, true, true},   {0xA0, false, true},
                 {0xB0, false, true},  {0xDF, false, true},  {0xE0, true, true},
                 {0xFC, true, true},   {0xFD, false, true},  {0xFF, false, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsMultiByteLead(c.byte, 1), c.set1) << "byte " << int(c.byte);
        EXPECT_EQ(IsMultiByteLead(c.byte, 2), c.set2) << "byte " << int(c.byte);
    }
}

TEST(SjisStringTest, CopyAppendCompare) {
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    StrCopy(buffer, "ab\x95\x5C");
    EXPECT_STREQ(buffer, "ab\x95\x5C");
    StrAppend(buffer, "cd");
    EXPECT_STREQ(buffer, "ab\x95\x5C" "cd");
    StrCopy(buffer, "");
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'b') << "only the terminator is written";

    const struct {
        const char *a, *b;
        int expected;
    } cases[] = {{"abc", "abc", 0}, {"", "", 0}, {"abc", "abd", 1}, {"abc", "ab", 1},
                 {"ab", "abc", 1},  {"ABC", "abc", 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(StrCompare(c.a, c.b), c.expected) << c.a << " / " << c.b;
    }
}

TEST(SjisStringTest, FindCharSkipsDoubleByteCharacters) {
    // 0x95 0x5C is one double-byte character whose trail byte is the backslash.
    const char text[] = "a\x95\x5C" "b\\c";
    EXPECT_EQ(StrFindCharSjis(text, '\\'), text + 4);
    EXPECT_EQ(StrFindCharSjis(text, 'b'), text + 3);
    EXPECT_EQ(StrFindCharSjis(text, 'z'), nullptr);
    EXPECT_EQ(StrFindCharSjis(text, 0), text + 6) << "0 finds the terminator";
    const char onlyTrail[] = "a\x95\x5C";
    EXPECT_EQ(StrFindCharSjis(onlyTrail, 0x5C), nullptr);
}

TEST(SjisStringTest, ScansStopAtNulAfterLeadByte) {
    // A lead byte right before the terminator, with more bytes behind it in the buffer.
    char text[] = {'a', '\x81', '\0', 'x', 'y', '\0'};
    EXPECT_EQ(StrFindCharSjis(text, 'x'), nullptr);
    EXPECT_EQ(StrFindCharSjis(text, 0), text + 2);

    StrToUpperSjis(text);
    EXPECT_EQ(text[0], 'A');
    EXPECT_EQ(text[3], 'x') << "nothing past the terminator is touched";
    EXPECT_EQ(text[4], 'y');
}

TEST(SjisStringTest, ToUpperLeavesDoubleByteCharactersAlone) {
    // 0x82 0x61 is a double-byte character whose trail byte is 'a'.
    char text[] = "az\x82\x61" "by{`\xB1";
    StrToUpperSjis(text);
    EXPECT_STREQ(text, "AZ\x82\x61" "BY{`\xB1");
}

class CountSjisCharsTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = GetCharSet(); }
    void TearDown() override { SetCharSet(saved_); }
    int32_t saved_ = 1;
};

TEST_F(CountSjisCharsTest, CountsByCharacterSet) {
    const struct {
        int charSet;
        const char* text;  // the buffer always ends in "\0zz" so over-reads show
        int limit;
        int expected;
    } cases[] = {
        {1, "\x82\xA0\x82\xA2", 10, 2},   // two double-byte characters and a NUL
        {1, "a\x82\xA0" "b", 10, 3},
        {1, "abcdef", 3, 3},
        {1, "a\x82\xA0", 2, 2},            // a lead byte last within the limit counts once
        {1, "a\x82", 10, 2},                // a lead byte before the NUL counts once
        {1, "\xB0\xA1", 10, 2},             // half-width katakana under Shift-JIS
        {2, "\xB0\xA1", 10, 1},             // one Korean character
        {2, "\x80\x41" "c", 10, 2},
        {1, "abc", 0, 0},
        {1, "abc", -5, 0},
        {1, "", 10, 0},
    };
    for (const auto& c : cases) {
        SetCharSet(c.charSet);
        std::string buffer(c.text);
        buffer += std::string("\0zz", 3);
        EXPECT_EQ(CountSjisChars(buffer.c_str(), c.limit), c.expected)
            << "set " << c.charSet << " limit " << c.limit << " text of " << std::strlen(c.text)
            << " bytes";
    }
}

TEST(SjisStringTest, ParseDecimal) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"abc-12xyz", -12},
        {"abc", -1},
        {"", -1},
        {"42", 42},
        {"x 7 8", 7},
        {"-", 0},
        {"ab-", 0},
        {"--5", 0},
        {"-0", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},   // wraps
        {"-2147483648", INT32_MIN},
        {"4294967296", 0},
        {"99999999999", 1215752191},  // 99999999999 mod 2^32
        {"00000000000000000000000000000007", 7},   // 32 digits
        {"000000000000000000000000000000007", 0},  // the 33rd digit is not read
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.expected) << "\"" << c.text << "\"";
    }
}

TEST(SjisStringTest, ParseNumberAfterSpace) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"HTTP/1.0 404 Not Found", 404},
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.0", -1},
        {"a1 5", 5},
        {"a1\t-3", -3},
        {"HTTP/1.0 OK", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumberAfterSpace(c.text), c.expected) << "\"" << c.text << "\"";
    }
}

TEST(SjisStringTest, IntToText) {
    const struct {
        int32_t value;
        int radix;
        const char* expected;
    } cases[] = {
        {255, 16, "ff"},
        {-7, 10, "-7"},
        {0, 10, "0"},
        {0, 2, "0"},
        {5, 2, "101"},
        {35, 36, "z"},
        {INT32_MAX, 36, "zik0zj"},
        {INT32_MAX, 10, "2147483647"},
        {INT32_MIN, 10, "-2147483648"},
        {INT32_MIN, 16, "-80000000"},
        {INT32_MIN, 2, "-10000000000000000000000000000000"},
    };
    for (const auto& c : cases) {
        char buffer[40];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(IntToText(c.value, buffer, c.radix), buffer);
        EXPECT_STREQ(buffer, c.expected) << c.value << " radix " << c.radix;
    }
}

TEST(SjisStringTest, IntToTextRefusesBadRadix) {
    for (int radix : {-10, 0, 1, 37, 100}) {
        char buffer[8] = "xxxxxxx";
        EXPECT_EQ(IntToText(12, buffer, radix), nullptr) << "radix " << radix;
        EXPECT_STREQ(buffer, "");
    }
    EXPECT_EQ(IntToText(12, nullptr, 10), nullptr);
}

}  // namespace
