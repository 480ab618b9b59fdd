// Absolute paths for the archive lookup, and the archive search's wildcard match.
#include <gtest/gtest.h>

#include <string>

#include "base/archive/archive_names.h"
#include "base/archive/compose_full_path.h"

namespace {

std::string Compose(const std::string& path, const char* base) {
    char out[kFullPathSize];
    if (ComposeFullPath(path.c_str(), out, base) != 0) return "<refused>";
    return out;
}

TEST(ArchivePath, ComposeFullPathCases) {
    const struct {
        std::string path;
        const char* base;
        std::string expected;
    } cases[] = {
        {"a\\b.txt", "/x/y", "/x/y/a/b.txt"},
        {"a/b.txt", "/x/y/", "/x/y/a/b.txt"},
        {"/abs/./c/../d", "/x", "/abs/d"},
        {"..\\..\\..\\f", "/x/y", "/f"},
        {".", "/x/y", "/x/y"},
        {"a\\", "/x", "/x/a"},
        {"\\\\server\\share\\f", "/x", "//server/share/f"},
        {"a\\\\b", "/x", "<refused>"},
        {"a//b", "/x", "<refused>"},
        // 0x5C as the trail byte of a double-byte character is no separator.
        {"\x95\x5C\\\x83\x5C.txt", "/b", "/b/\x95\x5C/\x83\x5C.txt"},
        {std::string(300, 'n'), "/x", "<refused>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Compose(c.path, c.base), c.expected);
    }
}

TEST(ArchivePath, RelativePathsStartAtTheCurrentDirectory) {
    char current[kFullPathSize];
    ASSERT_EQ(ComposeFullPath(".", current, nullptr), 0);
    EXPECT_EQ(current[0], '/');
    EXPECT_EQ(Compose("f.txt", nullptr), std::string(current) + "/f.txt");
}

TEST(ArchivePath, WildcardMatchCases) {
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*", "ANYTHING", true},
        {"*.BMP", "PLAYER.BMP", true},
        {"*.BMP", "PLAYER.WAV", false},
        {"P?AYER.*", "PLAYER.BMP", true},
        {"**R.BMP", "PLAYER.BMP", true},
        {"A?C", "AB", false},
        {"ABC", "ABCD", false},
        {"\x95\x5C*", "\x95\x5C.TXT", true},
        {"*\x83\x5C", "A\x95\x5C\x83\x5C", true},
        // '*' goes to the first occurrence of the next character and never back.
        {"*.TXT", "A.B.TXT", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
        EXPECT_EQ(MatchArchivePattern(c.pattern, c.name), c.match);
    }
}

}  // namespace
