// The file access table: the default set, a caller's table behind the thunks and the file
// streams, and the stream function tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/data_stream.h"
#include "base/disk_file.h"
#include "base/memory_stream.h"
#include "tests/support/file_fixture.h"

namespace {

bool SameFunctions(const FileAccessTable& a, const FileAccessTable& b) {
    return std::memcmp(&a, &b, sizeof(FileAccessTable)) == 0;
}

// A caller's table that records what reaches it.
struct Calls {
    std::vector<std::string> names;
    std::string path;
    int useCache = 0, extra = 0, async = 0;
    uintptr_t handle = 0;
    int64_t offset = 0;
    int origin = 0;
    size_t size = 0, count = 0;
};
Calls g_calls;
constexpr uintptr_t kFakeHandle = 0x1234;

const FileAccessTable kRecordingTable = {
    .open = [](const char* path, int useCache, int extra, int async) -> uintptr_t {
        g_calls.names.push_back("open");
        g_calls.path = path;
        g_calls.useCache = useCache;
        g_calls.extra = extra;
        g_calls.async = async;
        return kFakeHandle;
    },
    .close = [](uintptr_t handle) {
        g_calls.names.push_back("close");
        g_calls.handle = handle;
        return 0;
    },
    .tell = [](uintptr_t handle) -> int64_t {
        g_calls.names.push_back("tell");
        g_calls.handle = handle;
        return 77;
    },
    .seek = [](uintptr_t handle, int64_t offset, int origin) {
        g_calls.names.push_back("seek");
        g_calls.handle = handle;
        g_calls.offset = offset;
        g_calls.origin = origin;
        return 0;
    },
    .read = [](void* buffer, size_t size, size_t count, uintptr_t handle) -> size_t {
        g_calls.names.push_back("read");
        g_calls.size = size;
        g_calls.count = count;
        g_calls.handle = handle;
        std::memset(buffer, 'r', size * count);
        return count;
    },
    .eof = [](uintptr_t handle) {
        g_calls.names.push_back("eof");
        g_calls.handle = handle;
        return -1;
    },
    .idleCheck = [](uintptr_t handle) {
        g_calls.names.push_back("idle");
        g_calls.handle = handle;
        return 1;
    },
    .setDir = [](const char* path) {
        g_calls.names.push_back("setdir");
        g_calls.path = path;
        return 1;
    },
    .getDir = [](char* buffer) {
        g_calls.names.push_back("getdir");
        std::strcpy(buffer, "fake");
        return 4;
    },
    .findFirst = [](const char* pattern, FileInfo*) -> intptr_t {
        g_calls.names.push_back("findfirst");
        g_calls.path = pattern;
        return 5;
    },
    .findNext = [](intptr_t, FileInfo*) {
        g_calls.names.push_back("findnext");
        return -1;
    },
    .findClose = [](intptr_t) {
        g_calls.names.push_back("findclose");
        return 0;
    },
};

class FileAccessTableTest : public FileFixture {
protected:
    void SetUp() override {
        FileFixture::SetUp();
        g_calls = Calls{};
    }
};

TEST_F(FileAccessTableTest, CallerTableIsUsedByTheThunksAndFileStreams) {
    ASSERT_EQ(SetFileAccessTable(&kRecordingTable), 0);
    EXPECT_TRUE(SameFunctions(GetFileAccessTable(), kRecordingTable));

    EXPECT_EQ(FileAccessOpen("pic\\a.bmp", 1, 2, 3), kFakeHandle);
    EXPECT_EQ(g_calls.path, "pic\\a.bmp");
    EXPECT_EQ(g_calls.useCache * 100 + g_calls.extra * 10 + g_calls.async, 123);
    EXPECT_EQ(FileAccessSeek(kFakeHandle, -9, 2), 0);
    EXPECT_EQ(g_calls.offset, -9);
    EXPECT_EQ(g_calls.origin, 2);
    char buffer[8] = {};
    EXPECT_EQ(FileAccessRead(buffer, 2, 3, kFakeHandle), 3u);
    EXPECT_EQ(std::string(buffer, 6), "rrrrrr");
    EXPECT_EQ(FileAccessTell(kFakeHandle), 77);
    EXPECT_EQ(FileAccessEof(kFakeHandle), -1);
    EXPECT_EQ(FileAccessIdleCheck(kFakeHandle), 1);
    EXPECT_EQ(FileAccessSetDir("sub"), 1);
    char dir[260];
    EXPECT_EQ(FileAccessGetDir(dir), 4);
    EXPECT_STREQ(dir, "fake");
    EXPECT_EQ(FileAccessClose(kFakeHandle), 0);
    EXPECT_EQ(g_calls.handle, kFakeHandle);
    EXPECT_EQ(GetFileAccessTable().findFirst("*.bmp", nullptr), 5);
    EXPECT_EQ(GetFileAccessTable().findNext(5, nullptr), -1);
    EXPECT_EQ(GetFileAccessTable().findClose(5), 0);

    // A file stream goes through the thunks, so it follows the installed table.
    DataStream stream{*GetFileStreamFunctions(), kFakeHandle};
    stream.functions.tell(stream.handle);
    stream.functions.seek(stream.handle, 4, 1);
    stream.functions.read(buffer, 1, 1, stream.handle);
    stream.functions.eof(stream.handle);
    stream.functions.idleCheck(stream.handle);
    stream.functions.close(stream.handle);

    const std::vector<std::string> expected = {
        "open",      "seek",     "read",      "tell", "eof",  "idle", "setdir", "getdir", "close",
        "findfirst", "findnext", "findclose", "tell", "seek", "read", "eof",    "idle",   "close"};
    EXPECT_EQ(g_calls.names, expected);
}

TEST_F(FileAccessTableTest, NullRestoresTheDefaults) {
    const std::string data = RandomBytes(1000, 3);
    WriteWholeFile("data.bin", data);
    ASSERT_EQ(SetFileAccessTable(&kRecordingTable), 0);
    ASSERT_EQ(SetFileAccessTable(nullptr), 0);
    EXPECT_TRUE(SameFunctions(GetFileAccessTable(), GetDefaultFileAccessTable()));

    uintptr_t file = FileAccessOpen("data.bin", 0, 0, 0);
    ASSERT_NE(file, 0u);
    char buffer[1000];
    EXPECT_EQ(FileAccessRead(buffer, 10, 100, file), 100u);
    EXPECT_EQ(std::string(buffer, 1000), data);
    EXPECT_EQ(FileAccessClose(file), 0);
    EXPECT_TRUE(g_calls.names.empty());
}

TEST_F(FileAccessTableTest, NoArchiveSwitchInstallsTheDiskSet) {
    SetFileAccessNoArchive(1);
    ASSERT_EQ(SetFileAccessTable(&kRecordingTable), 0);
    ASSERT_EQ(SetFileAccessTable(nullptr), 0);
    EXPECT_TRUE(SameFunctions(GetFileAccessTable(), GetDiskFileAccessTable()));
    EXPECT_EQ(GetFileAccessTable().open, &DiskFileOpen);
}

TEST_F(FileAccessTableTest, FileAndMemoryStreamsReadTheSame) {
    const std::string data = RandomBytes(5000, 4);
    WriteWholeFile("data.bin", data);
    DataStream streams[2] = {{*GetFileStreamFunctions(), FileAccessOpen("data.bin", 1, 0, 0)},
                             {*GetMemStreamFunctions(), MemStreamOpen(data.data(), data.size())}};
    for (DataStream& stream : streams) {
        ASSERT_NE(stream.handle, 0u);
        std::string read;
        char chunk[999];
        while (stream.functions.eof(stream.handle) == 0) {
            size_t got = stream.functions.read(chunk, 1, sizeof(chunk), stream.handle);
            read.append(chunk, got);
        }
        EXPECT_EQ(read, data);
        EXPECT_EQ(stream.functions.close(stream.handle), 0);
    }
}

TEST_F(FileAccessTableTest, StreamTablesAreTheGlobalsAndStartUpRewritesThem) {
    EXPECT_EQ(GetFileStreamFunctions(), &FileStreamFunctions);
    EXPECT_EQ(GetMemStreamFunctions(), &MemStreamFunctions);
    FileStreamFunctions.read = nullptr;
    MemStreamFunctions.close = nullptr;
    InitStreamFunctions();
    EXPECT_EQ(FileStreamFunctions.read, &FileAccessRead);
    EXPECT_EQ(FileStreamFunctions.close, &FileAccessClose);
    EXPECT_EQ(MemStreamFunctions.close, &MemStreamClose);
    EXPECT_EQ(MemStreamFunctions.tell, &MemStreamTell);
}

}  // namespace
