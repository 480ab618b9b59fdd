// Archives through the library as the program starts it: the memory-mode setting made before
// start-up reaches the archives that paths lead to, asynchronous reads of archive members
// run on access threads and are finished by the idle check, folder listings start afresh
// with every start-up, and shut-down leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/archive/archive_folders.h"
#include "base/archive/archive_state.h"
#include "base/archive/archive_table.h"
#include "base/archive/archive_writer.h"
#include "base/file_access_table.h"
#include "base/tracked_memory.h"
#include "library/public/api.h"
#include "platform/core/clock.h"
#include "tests/support/library_fixture.h"

namespace {

class ArchiveFilesEntryTest : public LibraryFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        std::vector<ArchiveSource> tree(2);
        tree[0].path = "noise.bin";
        for (int i = 0; i < 40000; ++i) tree[0].data += static_cast<char>((i * 7919) >> 3);
        tree[1].path = "text/story.txt";
        for (int i = 0; i < 5000; ++i) tree[1].data += "once upon a time\n";
        tree_ = tree;
        std::string error;
        const std::vector<unsigned char> bytes = WriteArchive(tree, ArchiveWriteOptions{}, &error);
        ASSERT_FALSE(bytes.empty()) << error;
        // Written in another case than the library composes it: found by listing the folder.
        std::ofstream(dir_.path() / "Game.zna", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        SetArchiveMemoryMode(0);
    }

    // The whole member read asynchronously: every read is finished by polling the idle check.
    static std::string ReadAsync(const char* path) {
        const uintptr_t file = FileAccessOpen(path, 0, 0, 1);
        if (file == 0) return "<missing>";
        std::string all;
        char chunk[3000];
        for (;;) {
            const size_t got = FileAccessRead(chunk, 1, sizeof(chunk), file);
            if (got == 0) break;
            int idle = 0;
            for (int i = 0; i < 5000 && idle == 0; ++i) {
                idle = FileAccessIdleCheck(file);
                if (idle == 0) plat::SleepMs(1);
            }
            EXPECT_EQ(idle, 1);
            all.append(chunk, got);
        }
        EXPECT_EQ(FileAccessEof(file), -1);
        EXPECT_EQ(FileAccessClose(file), 0);
        return all;
    }

    std::vector<ArchiveSource> tree_;
};

TEST_P(ArchiveFilesEntryTest, MembersReadAsynchronouslyAndShutDownClosesAll) {
    const int mode = GetParam();
    {
        const uint32_t blocksBefore = GetAllocState().count;
        SetArchiveMemoryMode(mode);  // a setting made before start-up
        StartWithoutPumpThread();
        EXPECT_EQ(GetArchiveMemoryMode(), mode) << "start-up keeps the setting";
        EXPECT_EQ(ArchiveFolderListings(), 0u) << "start-up forgets the folders";

        EXPECT_EQ(ReadAsync("game\\noise.bin"), tree_[0].data);
        EXPECT_EQ(ReadAsync("GAME\\Text\\Story.txt"), tree_[1].data);
        const size_t listings = ArchiveFolderListings();
        EXPECT_GT(listings, 0u);
        EXPECT_EQ(ReadAsync("game\\missing.txt"), "<missing>");
        EXPECT_EQ(ReadAsync("loose\\missing.txt"), "<missing>");
        EXPECT_EQ(ReadAsync("loose\\missing.txt"), "<missing>");
        EXPECT_EQ(ArchiveFolderListings(), listings) << "the folders were listed already";

        const int slot = GetArchiveState().cacheSlot;
        ASSERT_GE(slot, 0);
        EXPECT_EQ(GetOpenArchive(slot)->memoryMode, static_cast<uint32_t>(mode));

        // A member left open with a read pending is finished and closed by shut-down.
        const uintptr_t open = FileAccessOpen("game\\noise.bin", 0, 0, 1);
        ASSERT_NE(open, 0u);
        std::string some(1000, '\0');
        ASSERT_EQ(FileAccessRead(some.data(), 1, some.size(), open), some.size());

        ASSERT_EQ(ApiTermLibrary(), 0);
        for (ArchiveRecord* record : GetArchiveState().archives) EXPECT_EQ(record, nullptr);
        for (ArchiveFileRecord* record : GetArchiveState().files) EXPECT_EQ(record, nullptr);
        EXPECT_EQ(ArchiveFolderListings(), 0u);
        EXPECT_EQ(GetAllocState().count, blocksBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ArchiveFilesEntryTest, ::testing::Values(0, 1),
                         [](const auto& param) {
                             return param.param == 0 ? std::string("FileMode")
                                                     : std::string("MemoryMode");
                         });

}  // namespace
