#include "base/format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int FormatThroughList(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = FormatStringV(buffer, size, format, arguments);
    va_end(arguments);
    return result;
}

TEST(FormatTest, FormatsWithinTheBuffer) {
    char buffer[16];
    EXPECT_EQ(FormatString(buffer, sizeof buffer, "%d:%s %03x", -12, "ab", 0xF), 0);
    EXPECT_STREQ(buffer, "-12:ab 00f");
    EXPECT_EQ(FormatThroughList(buffer, sizeof buffer, "%s=%u", "n", 7u), 0);
    EXPECT_STREQ(buffer, "n=7");
}

TEST(FormatTest, CutsToTheBufferSize) {
    const struct {
        size_t size;
        const char* argument;
        const char* expected;
    } cases[] = {
        {5, "abcdefgh", "abcd"},
        {1, "abcdefgh", ""},
        {9, "abcdefgh", "abcdefgh"},
        // A cut through a double-byte character drops its lone lead byte.
        {4, "ab\x82\xA0" "c", "ab"},
        {5, "ab\x82\xA0" "c", "ab\x82\xA0"},
        {3, "\x82\xA0\x82\xA0", "\x82\xA0"},
        {3, "a\xB1\xB2", "a\xB1"},  // half-width katakana are single bytes
    };
    for (const auto& c : cases) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(FormatString(buffer, c.size, "%s", c.argument), 0) << "size " << c.size;
        EXPECT_STREQ(buffer, c.expected) << "size " << c.size;
        EXPECT_EQ(buffer[c.size], 'x') << "nothing written past the size";
    }
}

TEST(FormatTest, RefusesMissingBufferOrFormat) {
    char buffer[4] = "abc";
    EXPECT_EQ(FormatString(nullptr, 10, "x"), -1);
    EXPECT_EQ(FormatString(buffer, 0, "x"), -1);
    EXPECT_STREQ(buffer, "abc") << "size 0 leaves the buffer alone";
    EXPECT_EQ(FormatThroughList(buffer, sizeof buffer, nullptr), -1);
    EXPECT_STREQ(buffer, "");
}

}  // namespace
