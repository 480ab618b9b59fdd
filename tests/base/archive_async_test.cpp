// Asynchronous entries of archives: reads of stored entries and loads of packed ones run on
// an access thread of the entry's own and are finished (unscrambled, unpacked) by the idle
// check, or by the next call that needs them; entries of a memory-mode archive need no thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/archive/archive_file.h"
#include "base/archive/archive_names.h"
#include "tests/base/archive_fixture.h"

namespace {

std::string Text() {
    std::string text;
    for (int i = 0; i < 12000; ++i) text += "line " + std::to_string(i % 97) + "\n";
    return text;
}

class ArchiveAsyncTest : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        std::vector<ArchiveSource> tree(2);
        tree[0].path = "noise.bin";  // does not pack: stored, read on demand
        tree[0].data = RandomBytes(50000, 5);
        tree[1].path = "sub/text.txt";  // packs well
        tree[1].data = Text();
        tree_ = tree;
        WriteBytes("data.ZNA", MakeArchive(tree));
    }

    static ArchiveEntryState& Entry(uintptr_t handle) {
        return GetArchiveState().files[handle & 0xFFFF]->entry;
    }
    static bool Idle(uintptr_t handle) {
        return WaitUntil([&] { return FileAccessIdleCheck(handle) == 1; });
    }

    std::vector<ArchiveSource> tree_;
};

TEST_F(ArchiveAsyncTest, StoredEntryReadsAreStartedAndFinishedByTheIdleCheck) {
    const uintptr_t file = FileAccessOpen("data\\noise.bin", 0, 0, 1);
    ASSERT_NE(file, 0u);
    ASSERT_EQ(Entry(file).async, 1u);
    ASSERT_NE(Entry(file).asyncFile, 0u);
    ASSERT_EQ(Entry(file).unpacked, nullptr) << "stored, read on demand";
    EXPECT_EQ(FileAccessIdleCheck(file), 1) << "nothing pending yet";

    const std::string& expected = tree_[0].data;
    std::string heard;
    char chunk[7000];
    for (;;) {
        const size_t got = FileAccessRead(chunk, 1, sizeof(chunk), file);
        if (got == 0) break;
        // The read is only started: it stays pending until an idle check sees it done.
        EXPECT_EQ(Entry(file).pending, ArchivePending::PlainRead);
        ASSERT_TRUE(Idle(file));
        EXPECT_EQ(Entry(file).pending, ArchivePending::None);
        heard.append(chunk, got);
    }
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(FileAccessEof(file), -1);
    EXPECT_EQ(FileAccessTell(file), static_cast<int64_t>(expected.size()));
    EXPECT_EQ(FileAccessClose(file), 0);
}

TEST_F(ArchiveAsyncTest, ANewReadOrACloseFinishesThePendingOne) {
    const std::string& expected = tree_[0].data;
    const uintptr_t file = FileAccessOpen("data\\noise.bin", 0, 0, 1);
    ASSERT_NE(file, 0u);
    ASSERT_EQ(FileAccessSeek(file, 1000, kSeekSet), 0);
    std::string first(3000, '\0'), second(3000, '\0');
    ASSERT_EQ(FileAccessRead(first.data(), 3, 1000, file), 1000u);
    // No idle check in between: the second read waits for the first and unscrambles it.
    ASSERT_EQ(FileAccessRead(second.data(), 1, 3000, file), 3000u);
    EXPECT_EQ(first, expected.substr(1000, 3000));
    ASSERT_TRUE(Idle(file));
    EXPECT_EQ(second, expected.substr(4000, 3000));

    // A read still pending when the handle closes is waited for; nothing is left behind.
    std::string third(100, '\0');
    ASSERT_EQ(FileAccessRead(third.data(), 1, 100, file), 100u);
    EXPECT_EQ(FileAccessClose(file), 0);
    EXPECT_EQ(third, expected.substr(7000, 100));
}

TEST_F(ArchiveAsyncTest, PackedEntryLoadsInTheBackgroundAndIsUnpackedWhenSeenDone) {
    const std::string& expected = tree_[1].data;
    // Each way of noticing the load: the idle check, a tell, an end test, a read.
    struct Case {
        const char* name;
        int (*notice)(uintptr_t);
    };
    const Case cases[] = {
        {"idle", [](uintptr_t f) { return WaitUntil([&] { return FileAccessIdleCheck(f) == 1; }) ? 0 : -1; }},
        {"tell", [](uintptr_t f) { return static_cast<int>(FileAccessTell(f)); }},
        {"eof", [](uintptr_t f) { return FileAccessEof(f); }},
        {"read", [](uintptr_t) { return 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uintptr_t file = FileAccessOpen("data\\sub\\text.txt", 0, 0, 1);
        ASSERT_NE(file, 0u);
        ASSERT_EQ(Entry(file).pending, ArchivePending::PackedLoad);
        ASSERT_NE(Entry(file).packed, nullptr);
        EXPECT_EQ(c.notice(file), 0);
        if (std::string(c.name) != "read") {
            EXPECT_EQ(Entry(file).pending, ArchivePending::None);
            EXPECT_EQ(Entry(file).packed, nullptr) << "the packed bytes go once unpacked";
            ASSERT_NE(Entry(file).unpacked, nullptr);
        }
        std::string all(expected.size() + 10, '\0');
        ASSERT_EQ(FileAccessRead(all.data(), 1, all.size(), file), expected.size());
        all.resize(expected.size());
        EXPECT_EQ(all, expected);
        EXPECT_EQ(FileAccessIdleCheck(file), 1) << "reads of an unpacked entry are done at once";
        EXPECT_EQ(FileAccessClose(file), 0);
    }
}

TEST_F(ArchiveAsyncTest, ADamagedPackedEntryLoadsToNothing) {
    const int slot = OpenArchive("data.ZNA", 0);
    ASSERT_GE(slot, 0);
    const OpenArchiveState* archive = GetOpenArchive(slot);
    uint32_t dir = 0;
    const unsigned char* entry = nullptr;
    ASSERT_TRUE(WalkArchivePath(*archive, "sub/text.txt", &dir, &entry));
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(ReadLe32(entry + kEntryPackedSize), kArchiveStored);
    const size_t at = archive->header.dataOffset + ReadLe32(entry + kEntryDataOffset);
    CloseAllArchives();
    // Flipping a byte of the stored packed size makes the block disagree with its entry.
    std::string bytes;
    {
        plat::File* in = plat::OpenFile("data.ZNA", plat::FileAccess::Read,
                                        plat::FileCreation::OpenExisting);
        ASSERT_NE(in, nullptr);
        bytes.resize(static_cast<size_t>(plat::FileSize(in)));
        ASSERT_EQ(plat::ReadFile(in, bytes.data(), bytes.size()),
                  static_cast<int64_t>(bytes.size()));
        plat::CloseFile(in);
    }
    bytes[at + 4] = static_cast<char>(bytes[at + 4] ^ 0x40);
    WriteWholeFile("data.ZNA", bytes);

    EXPECT_EQ(FileAccessOpen("data\\sub\\text.txt", 0, 0, 0), 0u) << "at once: refused";
    EXPECT_NE(TakeLog().find("sub\\text.txt"), std::string::npos);
    const uintptr_t file = FileAccessOpen("data\\sub\\text.txt", 0, 0, 1);
    ASSERT_NE(file, 0u) << "asynchronous: the damage shows when the load is done";
    ASSERT_TRUE(Idle(file));
    EXPECT_NE(TakeLog().find("sub\\text.txt"), std::string::npos);
    char byte;
    EXPECT_EQ(FileAccessRead(&byte, 1, 1, file), 0u);
    EXPECT_EQ(FileAccessEof(file), -1);
    EXPECT_EQ(FileAccessClose(file), 0);
    // The stored file beside it reads as ever.
    EXPECT_EQ(ReadThroughTable("data\\noise.bin"), tree_[0].data);
}

TEST_F(ArchiveAsyncTest, EntriesOfAnArchiveInMemoryCompleteAtOnce) {
    SetArchiveMemoryMode(1);
    for (const ArchiveSource& source : tree_) {
        SCOPED_TRACE(source.path);
        std::string path = "data\\" + source.path;
        for (char& c : path) c = c == '/' ? '\\' : c;
        const uintptr_t file = FileAccessOpen(path.c_str(), 0, 0, 1);
        ASSERT_NE(file, 0u);
        EXPECT_EQ(Entry(file).async, 0u);
        EXPECT_EQ(Entry(file).asyncFile, 0u);
        std::string all(source.data.size(), '\0');
        ASSERT_EQ(FileAccessRead(all.data(), 1, all.size(), file), all.size());
        EXPECT_EQ(Entry(file).pending, ArchivePending::None);
        EXPECT_EQ(FileAccessIdleCheck(file), 1);
        EXPECT_EQ(all, source.data);
        EXPECT_EQ(FileAccessClose(file), 0);
    }
    const int slot = OpenArchive(GetArchiveState().archives[0]->path, 0);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(GetOpenArchive(slot)->memoryMode, 1u);
    ReleaseArchive(slot);
}

}  // namespace
