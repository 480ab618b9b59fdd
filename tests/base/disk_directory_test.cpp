// The disk set's directory members: the current directory and the wildcard search.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/disk_directory.h"
#include "tests/support/file_fixture.h"

namespace {

class DiskDirectoryTest : public FileFixture {
protected:
    void SetUp() override {
        FileFixture::SetUp();
        WriteWholeFile("a.bmp", std::string(123, 'a'));
        WriteWholeFile("B.BMP", "b");
        WriteWholeFile("c.png", "c");
        WriteWholeFile("画像.bmp", "jp");
        std::filesystem::create_directory("sub");
        WriteWholeFile("sub\\note.txt", "note");
    }

    // Every name a search reports, or {"<none>"} when it fails at once.
    static std::set<std::string> Find(const char* pattern) {
        FileInfo info;
        intptr_t find = DiskFindFirst(pattern, &info);
        if (find == -1) return {"<none>"};
        std::set<std::string> names;
        do {
            names.insert(info.name);
        } while (DiskFindNext(find, &info) == 0);
        EXPECT_EQ(DiskFindNext(find, &info), -1) << "the search stays at its end";
        EXPECT_EQ(DiskFindClose(find), 0);
        return names;
    }
};

TEST_F(DiskDirectoryTest, CurrentDirectory) {
    char buffer[260];
    int length = DiskGetCurrentDir(buffer);
    EXPECT_EQ(std::string(buffer), dir_.str());
    EXPECT_EQ(length, static_cast<int>(dir_.str().size()));

    EXPECT_EQ(DiskSetCurrentDir("sub"), 1);
    EXPECT_EQ(std::filesystem::current_path(), dir_.path() / "sub");
    EXPECT_EQ(DiskSetCurrentDir("..\\sub\\.."), 1) << "backslash separators";
    EXPECT_EQ(std::filesystem::current_path(), dir_.path());
    EXPECT_EQ(DiskSetCurrentDir("missing"), 0);
    EXPECT_EQ(std::filesystem::current_path(), dir_.path());

    // The table's thunks reach the same functions.
    EXPECT_EQ(FileAccessSetDir("sub"), 1);
    EXPECT_EQ(FileAccessGetDir(buffer), length + 4);
    EXPECT_EQ(std::string(buffer), dir_.str() + "/sub");
}

struct FindCase {
    const char* pattern;
    std::set<std::string> names;
};

TEST_F(DiskDirectoryTest, FindByPattern) {
    const FindCase cases[] = {
        {"*.bmp", {"a.bmp", "B.BMP", "画像.bmp"}},
        {"*", {"a.bmp", "B.BMP", "c.png", "画像.bmp", "sub"}},
        {"*.*", {"a.bmp", "B.BMP", "c.png", "画像.bmp", "sub"}},
        {"?.bmp", {"a.bmp", "B.BMP"}},
        {"??.bmp", {"画像.bmp"}},  // '?' takes a whole double-byte character
        {"画*", {"画像.bmp"}},
        {"b.bmp", {"B.BMP"}},
        {"*p*g", {"c.png"}},
        {".\\sub\\*.txt", {"note.txt"}},
        {"sub/*", {"note.txt"}},
        {"*.jpg", {"<none>"}},
        {"missing\\*", {"<none>"}},
        {"", {"<none>"}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(Find(c.pattern), c.names);
    }
}

TEST_F(DiskDirectoryTest, FileInfoOfFilesAndDirectories) {
    // 2001-02-03 12:00:30 UTC: in every time zone the local date is the 3rd or the 4th and the
    // seconds are 30.
    const auto written = std::chrono::file_clock::from_sys(
        std::chrono::sys_seconds{std::chrono::seconds{981201630}});
    std::filesystem::last_write_time("a.bmp", written);

    FileInfo info;
    intptr_t find = DiskFindFirst("a.bmp", &info);
    ASSERT_NE(find, -1);
    EXPECT_STREQ(info.name, "a.bmp");
    EXPECT_EQ(info.directory, 0u);
    EXPECT_EQ(info.sizeLow, 123u);
    EXPECT_EQ(info.sizeHigh, 0u);
    for (const FileDate& date : {info.lastWriteTime, info.creationTime}) {
        EXPECT_EQ(date.year, 2001u);
        EXPECT_EQ(date.month, 2u);
        EXPECT_TRUE(date.day == 3 || date.day == 4) << date.day;
        EXPECT_EQ(date.second, 30u);
    }
    EXPECT_EQ(DiskFindClose(find), 0);

    find = DiskFindFirst("su?", &info);
    ASSERT_NE(find, -1);
    EXPECT_STREQ(info.name, "sub");
    EXPECT_EQ(info.directory, 1u);
    EXPECT_EQ(DiskFindNext(find, nullptr), -1);
    EXPECT_EQ(DiskFindClose(find), 0);

    find = DiskFindFirst("*", nullptr);
    ASSERT_NE(find, -1) << "the entry is optional";
    EXPECT_EQ(DiskFindClose(find), 0);
}

TEST_F(DiskDirectoryTest, Failures) {
    EXPECT_EQ(DiskFindClose(-1), -1);
    EXPECT_EQ(DiskFindNext(-1, nullptr), -1);
    plat::FailNextAllocations(1);
    EXPECT_EQ(DiskFindFirst("*", nullptr), -1);
}

}  // namespace
