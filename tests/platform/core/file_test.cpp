#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <future>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/core/file.h"
#include "platform/testing/test_controls.h"
#include "platform/core/text_encoding.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

TEST(PathMappingTest, BackslashesBecomeSlashesExceptShiftJisTrailBytes) {
    struct Case {
        const char* library;
        std::string native;
    } cases[] = {
        {"res\\Player.bmp", "res/Player.bmp"},
        {"a\\b\\c", "a/b/c"},
        {"plain.txt", "plain.txt"},
        // 表 is 0x95 0x5C in Shift-JIS: its trail byte is not a separator.
        {"res\\\x95\x5C.bmp", Utf8(u8"res/表.bmp")},
        {"\x83\x5C\\x", Utf8(u8"ソ/x")},
        // A lead byte at the very end stays as it is and does not swallow the NUL.
        {"a\\\x95", "a/?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::MapPath(c.library), c.native) << c.library;
    }
}

TEST(TextEncodingTest, RoundTripsJapaneseAndReplacesBadBytes) {
    std::string sjis = "\x83\x51\x81\x5B\x83\x80";  // ゲーム
    EXPECT_EQ(plat::SjisToUtf8(sjis), Utf8(u8"ゲーム"));
    EXPECT_EQ(plat::Utf8ToSjis(Utf8(u8"ゲーム")), sjis);
    EXPECT_EQ(plat::SjisToUtf8("ab\x81"), "ab?");
}

class FileTest : public ::testing::Test {
protected:
    ScopedTempDir dir;
    void TearDown() override { plat::ResetTestControls(); }
};

TEST_F(FileTest, WriteReadSeekAndSize) {
    plat::File* f = plat::OpenFile("data.bin", plat::FileAccess::Write, plat::FileCreation::CreateNew);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(plat::WriteFile(f, "hello world", 11), 11);
    plat::CloseFile(f);

    f = plat::OpenFile("data.bin", plat::FileAccess::Read, plat::FileCreation::OpenExisting);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(plat::FileSize(f), 11);
    char buf[32] = {};
    EXPECT_EQ(plat::SeekFile(f, 6, plat::SeekOrigin::Begin), 6);
    EXPECT_EQ(plat::ReadFile(f, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(plat::ReadFile(f, buf, sizeof buf), 0);
    EXPECT_EQ(plat::SeekFile(f, -5, plat::SeekOrigin::End), 6);
    EXPECT_EQ(plat::SeekFile(f, -1, plat::SeekOrigin::Current), 5);
    EXPECT_EQ(plat::SeekFile(f, -100, plat::SeekOrigin::Begin), -1);
    EXPECT_EQ(plat::SeekFile(f, int64_t{5} << 32, plat::SeekOrigin::Begin), int64_t{5} << 32);
    EXPECT_EQ(plat::WriteFile(f, "x", 1), -1);  // opened for reading
    plat::CloseFile(f);
}

TEST_F(FileTest, CreationModes) {
    EXPECT_EQ(plat::OpenFile("missing", plat::FileAccess::Read, plat::FileCreation::OpenExisting), nullptr);
    plat::File* f = plat::OpenFile("log.txt", plat::FileAccess::Write, plat::FileCreation::OpenAlways);
    ASSERT_NE(f, nullptr);
    plat::WriteFile(f, "abc", 3);
    plat::CloseFile(f);
    EXPECT_EQ(plat::OpenFile("log.txt", plat::FileAccess::Write, plat::FileCreation::CreateNew), nullptr);

    // Open-always keeps the contents; the writer appends after seeking to the end.
    f = plat::OpenFile("log.txt", plat::FileAccess::Write, plat::FileCreation::OpenAlways);
    ASSERT_NE(f, nullptr);
    plat::SeekFile(f, 0, plat::SeekOrigin::End);
    plat::WriteFile(f, "de", 2);
    plat::CloseFile(f);
    EXPECT_EQ(dir.ReadFile("log.txt"), "abcde");

    f = plat::OpenFile("log.txt", plat::FileAccess::Write, plat::FileCreation::CreateAlways);
    ASSERT_NE(f, nullptr);
    plat::CloseFile(f);
    EXPECT_EQ(dir.ReadFile("log.txt"), "");

    EXPECT_TRUE(plat::FileExists("log.txt"));
    EXPECT_TRUE(plat::DeleteFile("log.txt"));
    EXPECT_FALSE(plat::FileExists("log.txt"));
    EXPECT_FALSE(plat::DeleteFile("log.txt"));
    // A directory is not a file.
    EXPECT_EQ(plat::OpenFile(".", plat::FileAccess::Read, plat::FileCreation::OpenExisting), nullptr);
}

TEST_F(FileTest, BackslashAndJapaneseNamesReachTheFileSystem) {
    std::filesystem::create_directory(dir.path() / "res");
    plat::File* f = plat::OpenFile("res\\\x95\x5C.txt", plat::FileAccess::Write, plat::FileCreation::CreateNew);
    ASSERT_NE(f, nullptr);
    plat::WriteFile(f, "x", 1);
    plat::CloseFile(f);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "res" / std::filesystem::path(u8"表.txt")));
}

TEST_F(FileTest, InjectedOpenFailure) {
    plat::FailNextFileOpens(1);
    EXPECT_EQ(plat::OpenFile("a", plat::FileAccess::Write, plat::FileCreation::OpenAlways), nullptr);
    plat::File* f = plat::OpenFile("a", plat::FileAccess::Write, plat::FileCreation::OpenAlways);
    EXPECT_NE(f, nullptr);
    plat::CloseFile(f);
}

// Opens the path in a thread of its own and answers whether the open came back within a few
// seconds and with a file. When it does not come back, the pipe's other end is opened so that
// the stuck open ends, and the test fails instead of hanging.
struct OpenOutcome {
    bool returned;
    bool opened;
};
OpenOutcome OpenWatched(const std::string& path, plat::FileAccess access,
                        plat::FileCreation creation, bool native = false) {
    std::future<plat::File*> open = std::async(std::launch::async, [=] {
        return native ? plat::OpenNativeFile(path.c_str(), access, creation)
                      : plat::OpenFile(path.c_str(), access, creation);
    });
    bool returned = open.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    int unblocker = -1;
    if (!returned) unblocker = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    plat::File* file = open.get();
    if (unblocker >= 0) ::close(unblocker);
    const bool opened = file != nullptr;
    plat::CloseFile(file);
    return OpenOutcome{returned, opened};
}

TEST_F(FileTest, ANamedPipeADeviceOrAFolderIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    std::filesystem::create_directory("folder");
    struct Case {
        const char* path;
        plat::FileAccess access;
        plat::FileCreation creation;
    } cases[] = {
        {"pipe", plat::FileAccess::Read, plat::FileCreation::OpenExisting},
        {"pipe", plat::FileAccess::Write, plat::FileCreation::CreateAlways},
        {"pipe", plat::FileAccess::Write, plat::FileCreation::OpenAlways},
        {"pipe", plat::FileAccess::ReadWrite, plat::FileCreation::OpenExisting},
        {"/dev/null", plat::FileAccess::Read, plat::FileCreation::OpenExisting},
        {"/dev/zero", plat::FileAccess::Read, plat::FileCreation::OpenExisting},
        {"folder", plat::FileAccess::Read, plat::FileCreation::OpenExisting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " access " + std::to_string(static_cast<int>(c.access)));
        const OpenOutcome outcome = OpenWatched(c.path, c.access, c.creation);
        EXPECT_TRUE(outcome.returned) << "the open blocked";
        EXPECT_FALSE(outcome.opened);
    }
    // The pipe is left as it was, not replaced by a file.
    struct stat st;
    ASSERT_EQ(::stat("pipe", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(FileTest, ANativePathOpensAsItStandsAndRefusesAPipeAtOnce) {
    // A UTF-8 name and a backslash in a name are the file system's own, not converted.
    const std::string utf8Name = Utf8(u8"表.txt");
    const std::string backslashName = "a\\b.txt";
    std::ofstream(utf8Name) << "x";
    std::ofstream(backslashName) << "y";
    for (const std::string& name : {utf8Name, backslashName}) {
        SCOPED_TRACE(name);
        plat::File* f = plat::OpenNativeFile(name.c_str(), plat::FileAccess::Read,
                                             plat::FileCreation::OpenExisting);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(plat::FileSize(f), 1);
        plat::CloseFile(f);
    }
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    for (const char* path : {"pipe", "/dev/null"}) {
        SCOPED_TRACE(path);
        const OpenOutcome outcome = OpenWatched(path, plat::FileAccess::Read,
                                                plat::FileCreation::OpenExisting, true);
        EXPECT_TRUE(outcome.returned) << "the open blocked";
        EXPECT_FALSE(outcome.opened);
    }
}

TEST_F(FileTest, ARegularFileOpenedWithoutBlockingReadsAndWritesInTheBlockingWay) {
    std::ofstream("data.bin", std::ios::binary) << "abcdef";
    plat::File* f = plat::OpenFile("data.bin", plat::FileAccess::ReadWrite,
                                   plat::FileCreation::OpenExisting);
    ASSERT_NE(f, nullptr);
    char got[6] = {};
    EXPECT_EQ(plat::ReadFile(f, got, sizeof got), 6);
    EXPECT_EQ(std::string(got, 6), "abcdef");
    EXPECT_EQ(plat::WriteFile(f, "gh", 2), 2);
    EXPECT_EQ(plat::FileSize(f), 8);
    plat::CloseFile(f);
    // After the open the descriptor is blocking again: the status flags of the one descriptor
    // on the file (found through /proc) no longer hold O_NONBLOCK.
    f = plat::OpenFile("data.bin", plat::FileAccess::Read, plat::FileCreation::OpenExisting);
    ASSERT_NE(f, nullptr);
    int blocking = 0;
    for (int fd = 3; fd < 256; ++fd) {
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        char target[4096];
        const ssize_t n = ::readlink(link, target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (std::string(target).find("data.bin") == std::string::npos) continue;
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && (flags & O_NONBLOCK) == 0) ++blocking;
    }
    EXPECT_EQ(blocking, 1);
    plat::CloseFile(f);
}

TEST_F(FileTest, CurrentDirectoryGetSetAndLimit) {
    char cwd[plat::kMaxPath];
    ASSERT_TRUE(plat::GetCurrentDir(cwd, sizeof cwd));
    EXPECT_EQ(std::string(cwd), dir.str());
    std::filesystem::create_directory(dir.path() / "sub");
    ASSERT_TRUE(plat::SetCurrentDir("sub"));
    char now[plat::kMaxPath];
    ASSERT_TRUE(plat::GetCurrentDir(now, sizeof now));
    EXPECT_EQ(std::string(now), dir.str() + "/sub");
    EXPECT_FALSE(plat::SetCurrentDir("no-such-dir"));
    char tiny[4];
    EXPECT_FALSE(plat::GetCurrentDir(tiny, sizeof tiny));
    ASSERT_TRUE(plat::SetCurrentDir(cwd));
}

TEST_F(FileTest, TemporaryFilesAreNewAndWritable) {
    char path1[plat::kMaxPath];
    char path2[plat::kMaxPath];
    plat::File* a = plat::CreateTempFile(path1, sizeof path1);
    plat::File* b = plat::CreateTempFile(path2, sizeof path2);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_STRNE(path1, path2);
    EXPECT_EQ(plat::WriteFile(a, "abc", 3), 3);
    EXPECT_EQ(plat::SeekFile(a, 0, plat::SeekOrigin::Begin), 0);
    char buf[4] = {};
    EXPECT_EQ(plat::ReadFile(a, buf, 3), 3);
    EXPECT_STREQ(buf, "abc");
    plat::CloseFile(a);
    plat::CloseFile(b);
    EXPECT_TRUE(plat::DeleteFile(path1));
    EXPECT_TRUE(plat::DeleteFile(path2));
}

}  // namespace
