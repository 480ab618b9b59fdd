// Disk files in their three modes: ends of file, idle tests, seeks outside the file, the
// read-ahead buffer, short files and failures at open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/disk_file.h"
#include "tests/support/file_fixture.h"

namespace {

struct Mode {
    const char* name;
    int cache;
    int async;
};
constexpr Mode kModes[] = {
    {"plain", 0, 0}, {"cached", 1, 0}, {"async", 0, 1}, {"cached async", 1, 1}};

class DiskFileTest : public FileFixture {
protected:
    // Reads and, for an asynchronous file, waits until the data is there.
    size_t Read(uintptr_t file, void* buffer, size_t size, size_t count) {
        size_t got = DiskFileRead(buffer, size, count, file);
        EXPECT_TRUE(WaitUntil([&] { return DiskFileIdleCheck(file) == 1; }));
        return got;
    }
};

TEST_F(DiskFileTest, WholeElementsUpToTheEndThenTheEndFlag) {
    const std::string data = RandomBytes(21, 1);
    WriteWholeFile("small.bin", data);
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        uintptr_t file = DiskFileOpen("small.bin", mode.cache, 0, mode.async);
        ASSERT_NE(file, 0u);
        char buffer[32];

        ASSERT_EQ(DiskFileSeek(file, 11, 0), 0);
        std::memset(buffer, 0, sizeof(buffer));
        EXPECT_EQ(Read(file, buffer, 4, 5), 2u) << "10 bytes left hold two 4-byte elements";
        EXPECT_EQ(std::string(buffer, 8), data.substr(11, 8));
        EXPECT_EQ(buffer[8], 0);
        EXPECT_EQ(DiskFileTell(file), 19);
        EXPECT_EQ(DiskFileEof(file), 0);

        ASSERT_EQ(DiskFileSeek(file, 18, 0), 0);
        EXPECT_EQ(Read(file, buffer, 4, 1), 0u) << "3 bytes left hold no 4-byte element";
        EXPECT_EQ(DiskFileEof(file), -1);
        EXPECT_EQ(DiskFileTell(file), 18);

        EXPECT_EQ(Read(file, buffer, 1, 10), 3u);
        EXPECT_EQ(std::string(buffer, 3), data.substr(18, 3));
        EXPECT_EQ(Read(file, buffer, 1, 1), 0u);
        EXPECT_EQ(DiskFileEof(file), -1);
        EXPECT_EQ(Read(file, buffer, 1, 1), 0u) << "a second read at the end";
        EXPECT_EQ(DiskFileEof(file), -1);

        EXPECT_EQ(Read(file, buffer, 0, 5), 0u) << "elements of size 0";
        ASSERT_EQ(DiskFileSeek(file, 0, 0), 0);
        EXPECT_EQ(DiskFileEof(file), 0) << "a seek clears the end flag";
        EXPECT_EQ(DiskFileClose(file), 0);
    }
}

TEST_F(DiskFileTest, SeeksOutsideTheFile) {
    const std::string data = RandomBytes(5000, 2);
    WriteWholeFile("data.bin", data);
    const int64_t size = static_cast<int64_t>(data.size());
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        uintptr_t file = DiskFileOpen("data.bin", mode.cache, 0, mode.async);
        ASSERT_NE(file, 0u);
        std::vector<unsigned char> buffer(64, 0xCD);

        // Beyond the end: allowed, and reads there find the end instead of a huge count.
        ASSERT_EQ(DiskFileSeek(file, size + 100, 0), 0);
        EXPECT_EQ(DiskFileTell(file), size + 100);
        EXPECT_EQ(Read(file, buffer.data(), 4, 10), 0u);
        EXPECT_EQ(DiskFileEof(file), -1);
        EXPECT_TRUE(
            std::all_of(buffer.begin(), buffer.end(), [](unsigned char c) { return c == 0xCD; }));
        ASSERT_EQ(DiskFileSeek(file, 1, 2), 0);
        EXPECT_EQ(Read(file, buffer.data(), 1, 10), 0u);

        // Below 0: refused, the position stays.
        EXPECT_EQ(DiskFileSeek(file, -1, 0), -1);
        EXPECT_EQ(DiskFileSeek(file, -(size + 2), 1), -1);
        EXPECT_EQ(DiskFileSeek(file, -(size + 1), 2), -1);
        EXPECT_EQ(DiskFileTell(file), size + 1);
        EXPECT_EQ(DiskFileSeek(file, 0, 7), -1) << "unknown origin";

        // Back inside, reads are right again.
        ASSERT_EQ(DiskFileSeek(file, -(size - 99), 1), 0);
        EXPECT_EQ(DiskFileTell(file), 100);
        EXPECT_EQ(DiskFileEof(file), 0);
        EXPECT_EQ(Read(file, buffer.data(), 8, 8), 8u);
        EXPECT_EQ(0, std::memcmp(buffer.data(), data.data() + 100, 64));
        ASSERT_EQ(DiskFileSeek(file, -10, 2), 0);
        EXPECT_EQ(Read(file, buffer.data(), 1, 64), 10u);
        EXPECT_EQ(0, std::memcmp(buffer.data(), data.data() + size - 10, 10));
        EXPECT_EQ(DiskFileClose(file), 0);
    }
}

TEST_F(DiskFileTest, IdleTestAndAsynchronousReads) {
    const std::string data = RandomBytes(200000, 3);
    WriteWholeFile("data.bin", data);
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        uintptr_t file = DiskFileOpen("data.bin", mode.cache, 0, mode.async);
        ASSERT_NE(file, 0u);
        EXPECT_EQ(DiskFileIdleCheck(file), 1) << "nothing pending after the open";
        std::vector<char> buffer(data.size());
        // An asynchronous read returns the count at once; the data is there once the file is
        // idle. Other reads are complete when they return.
        EXPECT_EQ(DiskFileRead(buffer.data(), 1000, 200, file), 200u);
        EXPECT_EQ(DiskFileTell(file), 200000);
        if (mode.async == 0) {
            EXPECT_EQ(DiskFileIdleCheck(file), 1);
        }
        ASSERT_TRUE(WaitUntil([&] { return DiskFileIdleCheck(file) == 1; }));
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), data.begin()));
        EXPECT_EQ(DiskFileClose(file), 0);
    }
}

// Deterministic look at the read-ahead: once the thread has filled its buffer, the file on
// disk is overwritten; reads served from the buffer still give the old bytes, the rest the new.
TEST_F(DiskFileTest, CachedFileIsServedFromTheReadAheadBuffer) {
    const size_t kCache = kDiskFileCacheSize;
    const std::string before = RandomBytes(3 * kCache, 4);
    const std::string after = RandomBytes(3 * kCache, 5);
    WriteWholeFile("data.bin", before);
    SetDiskReadAheadWait(1);

    uintptr_t handle = DiskFileOpen("data.bin", 1, 0, 0);
    ASSERT_NE(handle, 0u);
    auto* file = reinterpret_cast<DiskFileRecord*>(handle);
    ASSERT_TRUE(WaitUntil([&] { return file->cachedBytes.load() == kCache; }));
    WriteWholeFile("data.bin", after);

    std::vector<char> buffer(kCache);
    ASSERT_EQ(DiskFileRead(buffer.data(), 1, kCache / 2, handle), kCache / 2);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + kCache / 2, before.begin()));

    // The buffer moves what is left to its front and tops itself up behind it.
    ASSERT_TRUE(WaitUntil([&] { return file->cachedBytes.load() == kCache; }));
    EXPECT_EQ(file->cachePosition.load(), static_cast<int64_t>(kCache / 2));
    ASSERT_EQ(DiskFileRead(buffer.data(), 1, kCache, handle), kCache);
    EXPECT_EQ(std::string(buffer.data(), kCache / 2), before.substr(kCache / 2, kCache / 2));
    EXPECT_EQ(std::string(buffer.data() + kCache / 2, kCache / 2),
              after.substr(kCache, kCache / 2));

    // After a seek the buffer starts empty at the target.
    ASSERT_EQ(DiskFileSeek(handle, 10, 0), 0);
    ASSERT_EQ(DiskFileRead(buffer.data(), 100, 1, handle), 1u);
    EXPECT_EQ(std::string(buffer.data(), 100), after.substr(10, 100));
    // Whether that read came from the buffer or from the file, the buffer goes on behind it.
    EXPECT_TRUE(WaitUntil(
        [&] { return file->cachePosition.load() == 110 && file->cachedBytes.load() == kCache; }));
    EXPECT_EQ(DiskFileClose(handle), 0);
}

// The count returned is what the file really delivered, even when it shrank after the open.
TEST_F(DiskFileTest, ReadReturnsWhatWasReallyRead) {
    const std::string data = RandomBytes(300000, 6);
    WriteWholeFile("data.bin", data);
    for (const Mode& mode : {kModes[0], kModes[1]}) {
        SCOPED_TRACE(mode.name);
        WriteWholeFile("data.bin", data);
        uintptr_t file = DiskFileOpen("data.bin", mode.cache, 0, mode.async);
        ASSERT_NE(file, 0u);
        std::filesystem::resize_file("data.bin", 200010);
        // The seek also empties the read-ahead buffer, which from then on sees the short file.
        ASSERT_EQ(DiskFileSeek(file, 200000, 0), 0);
        std::vector<char> buffer(50000);
        EXPECT_EQ(DiskFileRead(buffer.data(), 1, 50000, file), 10u);
        EXPECT_EQ(std::string(buffer.data(), 10), data.substr(200000, 10));
        EXPECT_EQ(DiskFileTell(file), 200010);
        EXPECT_EQ(DiskFileRead(buffer.data(), 5, 10, file), 0u);
        EXPECT_EQ(DiskFileClose(file), 0);
    }
}

struct OpenFailure {
    const char* name;
    int cache;
    int async;
    void (*inject)();
    const char* fileName;
    const char* logText;  // "" when the failure is not logged
};

const OpenFailure kOpenFailures[] = {
    {"missing plain", 0, 0, [] {}, "missing.bin", ""},
    {"missing cached", 1, 0, [] {}, "missing.bin", "ファイルのオープンに失敗しました\r\n"},
    {"missing async", 0, 1, [] {}, "missing.bin", "ファイルのオープンに失敗しました\r\n"},
    {"open fails plain", 0, 0, [] { plat::FailNextFileOpens(1); }, "data.bin", ""},
    {"open fails cached", 1, 0, [] { plat::FailNextFileOpens(1); }, "data.bin",
     "ファイルのオープンに失敗しました\r\n"},
    {"open fails async", 0, 1, [] { plat::FailNextFileOpens(1); }, "data.bin",
     "ファイルのオープンに失敗しました\r\n"},
    {"thread fails cached", 1, 0, [] { plat::FailNextThreadStarts(1); }, "data.bin",
     "ファイルアクセス専用スレッドの作成に失敗しました\r\n"},
    {"thread fails async", 0, 1, [] { plat::FailNextThreadStarts(1); }, "data.bin",
     "ファイルアクセス専用スレッドの作成に失敗しました\r\n"},
    {"command event fails", 1, 0, [] { plat::FailNextEventCreates(1); }, "data.bin",
     "ファイルアクセス専用スレッドの作成に失敗しました\r\n"},
    {"both events fail", 0, 1, [] { plat::FailNextEventCreates(2); }, "data.bin",
     "ファイルアクセス専用スレッドの作成に失敗しました\r\n"},
    {"record fails plain", 0, 0, [] { plat::FailNextAllocations(1); }, "data.bin", nullptr},
    {"record fails cached", 1, 1, [] { plat::FailNextAllocations(1); }, "data.bin", nullptr},
};

// Each failure gives 0 and its log line, holds on to nothing, and the next open works.
TEST_F(DiskFileTest, OpenFailures) {
    WriteWholeFile("data.bin", RandomBytes(1000, 8));
    for (const OpenFailure& failure : kOpenFailures) {
        SCOPED_TRACE(failure.name);
        TakeLog();
        uint32_t liveBlocks = GetAllocState().count;
        failure.inject();
        EXPECT_EQ(DiskFileOpen(failure.fileName, failure.cache, 0, failure.async), 0u);
        EXPECT_EQ(GetAllocState().count, liveBlocks);
        std::string log = TakeLog();
        if (failure.logText != nullptr) {
            if (failure.logText[0] == '\0') {
                EXPECT_EQ(log, "");
            } else {
                EXPECT_NE(log.find(failure.logText), std::string::npos) << log;
            }
        }
        uintptr_t file = DiskFileOpen("data.bin", failure.cache, 0, failure.async);
        ASSERT_NE(file, 0u);
        EXPECT_EQ(DiskFileClose(file), 0);
    }
}

}  // namespace
