// Files read through the archive-aware file functions from archives made by the writer: every
// file equals its original by whole reads, small reads and seeks, in both entry sizes.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/archive/archive_file.h"
#include "base/disk_directory.h"
#include "platform/testing/test_controls.h"
#include "tests/base/archive_fixture.h"

namespace {

// "表" and "ソ" in Shift-JIS: their trail byte is 0x5C, the backslash.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

std::string NoiseBytes(size_t size) {
    std::mt19937 random(11);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::vector<ArchiveSource> SampleTree() {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "entry " + std::to_string(i % 251) + ";\n";
    std::vector<ArchiveSource> tree(7);
    tree[0].path = "top.txt";
    tree[0].data = "the top of the archive\n";
    tree[1].path = "empty.dat";
    tree[2].path = "dir/sub/deep.bin";
    tree[2].data = std::string(3000, 'q') + "end";
    tree[3].path = "dir\\big.txt";
    tree[3].data = text;
    tree[4].path = "dir/noise.bin";
    tree[4].data = NoiseBytes(70000);
    tree[5].path = "dir/" + kHyou + ".txt";
    tree[5].data = "hyou";
    tree[6].path = kSo + "/a.txt";
    tree[6].data = "so";
    tree[6].lastWriteTime = UnixSecondsToFileTime(1700000000);
    return tree;
}

// The library path of a tree file inside data.ZNA, with backslashes.
std::string LibraryPath(const std::string& path) {
    std::string out = "data\\";
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            out += path.substr(i++, 2);
        } else {
            out += c == '/' ? '\\' : path[i];
        }
    }
    return out;
}

class ArchiveReadTest : public ArchiveFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        ArchiveWriteOptions options;
        options.version = static_cast<uint16_t>(GetParam());
        WriteBytes("data.ZNA", MakeArchive(SampleTree(), options));
    }
};

TEST_P(ArchiveReadTest, WholeReadsGiveEveryFile) {
    for (const ArchiveSource& source : SampleTree()) {
        SCOPED_TRACE(source.path);
        EXPECT_EQ(ReadThroughTable(LibraryPath(source.path).c_str()), source.data);
    }
    EXPECT_EQ(ReadThroughTable("DATA\\DIR\\SUB\\Deep.Bin"), std::string(3000, 'q') + "end")
        << "names inside the archive match in any case";
    EXPECT_EQ(ReadThroughTable("data\\dir\\sub\\..\\.\\big.txt"), SampleTree()[3].data);
    EXPECT_EQ(ReadThroughTable("data\\missing.txt"), "<missing>");
    EXPECT_EQ(ReadThroughTable("data\\dir"), "<missing>") << "a folder is no file";
    EXPECT_EQ(ReadThroughTable("data\\top.txt\\x"), "<missing>");
}

TEST_P(ArchiveReadTest, SmallReadsAndElementsStopAtTheEnd) {
    const std::string want = SampleTree()[3].data;
    const uintptr_t file = FileAccessOpen("data\\dir\\big.txt", 0, 0, 0);
    ASSERT_NE(file, 0u);
    std::string got;
    char chunk[7];
    size_t n;
    while ((n = FileAccessRead(chunk, 1, sizeof(chunk), file)) != 0) got.append(chunk, n);
    EXPECT_EQ(got, want);
    EXPECT_EQ(FileAccessEof(file), -1);

    // 4-byte elements with 10 bytes left: two whole elements, then none.
    ASSERT_EQ(FileAccessSeek(file, -10, kSeekEnd), 0);
    EXPECT_EQ(FileAccessEof(file), 0);
    char four[16] = {};
    EXPECT_EQ(FileAccessRead(four, 4, 4, file), 2u);
    EXPECT_EQ(std::string(four, 8), want.substr(want.size() - 10, 8));
    EXPECT_EQ(FileAccessRead(four, 4, 1, file), 0u);
    EXPECT_EQ(FileAccessEof(file), -1);
    EXPECT_EQ(FileAccessClose(file), 0);
}

TEST_P(ArchiveReadTest, SeeksLandWhereTheOriginalSays) {
    for (size_t index : {3u, 4u}) {
        const std::string want = SampleTree()[index].data;
        const uintptr_t file = FileAccessOpen(LibraryPath(SampleTree()[index].path).c_str(), 0, 0, 0);
        ASSERT_NE(file, 0u);
        std::mt19937 random(5);
        int64_t position = 0;
        for (int step = 0; step < 200; ++step) {
            const int origin = static_cast<int>(random() % 3);
            const int64_t base = origin == kSeekSet ? 0 : origin == kSeekCurrent ? position
                                                                                 : int64_t(want.size());
            const int64_t target = static_cast<int64_t>(random() % want.size());
            ASSERT_EQ(FileAccessSeek(file, target - base, origin), 0);
            ASSERT_EQ(FileAccessTell(file), target);
            char buffer[300];
            const size_t got = FileAccessRead(buffer, 1, sizeof(buffer), file);
            const size_t expected = std::min<size_t>(sizeof(buffer), want.size() - target);
            ASSERT_EQ(got, expected);
            ASSERT_EQ(std::string(buffer, got), want.substr(target, got));
            position = target + static_cast<int64_t>(got);
        }
        EXPECT_EQ(FileAccessClose(file), 0);
    }
}

TEST_P(ArchiveReadTest, SeekBeforeTheStartLandsAtZeroAndPastTheEndReadsNothing) {
    const uintptr_t file = FileAccessOpen("data\\top.txt", 0, 0, 0);
    ASSERT_NE(file, 0u);
    ASSERT_EQ(FileAccessSeek(file, 4, kSeekSet), 0);
    ASSERT_EQ(FileAccessSeek(file, -5, kSeekSet), 0);
    EXPECT_EQ(FileAccessTell(file), 0);
    char buffer[64];
    EXPECT_EQ(FileAccessRead(buffer, 1, 3, file), 3u);
    EXPECT_EQ(std::string(buffer, 3), "the");

    // Beyond the end of this member: the end, not bytes of the next member in the archive.
    ASSERT_EQ(FileAccessSeek(file, 100, kSeekEnd), 0);
    EXPECT_EQ(FileAccessRead(buffer, 1, sizeof(buffer), file), 0u);
    EXPECT_EQ(FileAccessEof(file), -1);
    EXPECT_EQ(FileAccessIdleCheck(file), 1);
    EXPECT_EQ(FileAccessClose(file), 0);

    const uintptr_t empty = FileAccessOpen("data\\empty.dat", 0, 0, 0);
    ASSERT_NE(empty, 0u);
    EXPECT_EQ(FileAccessRead(buffer, 1, 1, empty), 0u);
    EXPECT_EQ(FileAccessEof(empty), -1);
    EXPECT_EQ(FileAccessClose(empty), 0);
}

TEST_P(ArchiveReadTest, SearchListsADirectoryOfTheArchive) {
    FileInfo info;
    const intptr_t find = ArchiveFindFirst("data\\dir\\*", &info);
    ASSERT_NE(find, -1);
    std::vector<std::string> names{info.name};
    while (ArchiveFindNext(find, &info) == 0) {
        names.push_back(info.name);
        if (names.back() == "noise.bin") {
            EXPECT_EQ(info.directory, 0u);
            EXPECT_EQ(info.sizeLow, 70000u);
        }
        if (names.back() == "sub") {
            EXPECT_EQ(info.directory, 1u);
        }
    }
    EXPECT_EQ(ArchiveFindClose(find), 0);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "sub", "big.txt", "noise.bin",
                                                kHyou + ".txt"}));

    const intptr_t bins = ArchiveFindFirst("data\\dir\\*.BIN", &info);
    ASSERT_NE(bins, -1);
    std::set<std::string> found{info.name};
    while (ArchiveFindNext(bins, &info) == 0) found.insert(info.name);
    EXPECT_EQ(found, (std::set<std::string>{".", "..", "noise.bin"}));
    EXPECT_EQ(ArchiveFindClose(bins), 0);

    const intptr_t dated = ArchiveFindFirst(("data\\" + kSo + "\\a.t?t").c_str(), &info);
    ASSERT_NE(dated, -1);
    ASSERT_EQ(ArchiveFindNext(dated, &info), 0);  // ".." comes first
    ASSERT_EQ(ArchiveFindNext(dated, &info), 0);
    EXPECT_STREQ(info.name, "a.txt");
    FileDate expected;
    FileTimeToDateRecord(1700000000, &expected);
    EXPECT_EQ(info.lastWriteTime.year, expected.year);
    EXPECT_EQ(info.lastWriteTime.minute, expected.minute);
    EXPECT_EQ(ArchiveFindNext(dated, &info), -1);
    EXPECT_EQ(ArchiveFindClose(dated), 0);

    EXPECT_EQ(ArchiveFindFirst("data\\nowhere\\*", &info), -1);
}

INSTANTIATE_TEST_SUITE_P(EntrySizes, ArchiveReadTest, ::testing::Values(1, 2),
                         [](const auto& param) { return "Version" + std::to_string(param.param); });

using ArchiveLookupTest = ArchiveFixture;

TEST_F(ArchiveLookupTest, TheShorterPrefixIsTriedFirst) {
    std::vector<ArchiveSource> outer(1), inner(1);
    outer[0].path = "sub/file.dat";
    outer[0].data = "from dir.ZNA";
    inner[0].path = "file.dat";
    inner[0].data = "from dir/sub.ZNA";
    ASSERT_TRUE(std::filesystem::create_directory("dir"));
    WriteBytes("dir.ZNA", MakeArchive(outer));
    WriteBytes("dir/sub.ZNA", MakeArchive(inner));
    EXPECT_EQ(ReadThroughTable("dir\\sub\\file.dat"), "from dir.ZNA");
    // Once dir.ZNA is closed and gone, the longer prefix answers.
    CloseAllArchives();
    ASSERT_TRUE(std::filesystem::remove("dir.ZNA"));
    EXPECT_EQ(ReadThroughTable("dir\\sub\\file.dat"), "from dir/sub.ZNA");
}

TEST_F(ArchiveLookupTest, ArchiveNameCaseNeedNotMatchTheDisk) {
    std::vector<ArchiveSource> tree(1);
    tree[0].path = "Pic.bmp";
    tree[0].data = "picture";
    WriteBytes("res.zna", MakeArchive(tree));
    EXPECT_EQ(ReadThroughTable("res\\pic.bmp"), "picture");
    EXPECT_EQ(ReadThroughTable("RES\\PIC.BMP"), "picture") << "through the cache";
}

TEST_F(ArchiveLookupTest, DiskFilesStillOpenAndArchivesStayCached) {
    WriteWholeFile("loose.txt", "on the disk");
    std::vector<ArchiveSource> tree(2);
    tree[0].path = "a.txt";
    tree[0].data = "A";
    tree[1].path = "b.txt";
    tree[1].data = "B";
    WriteBytes("pack.ZNA", MakeArchive(tree));
    EXPECT_EQ(ReadThroughTable("loose.txt"), "on the disk");
    EXPECT_EQ(ReadThroughTable("pack\\a.txt"), "A");
    // The archive stays open: even with its file gone the next member is read from it.
    ASSERT_TRUE(std::filesystem::remove("pack.ZNA"));
    EXPECT_EQ(ReadThroughTable("pack\\b.txt"), "B");
    int open = 0;
    for (ArchiveRecord* record : GetArchiveState().archives) open += record != nullptr;
    EXPECT_EQ(open, 1);
}

TEST_F(ArchiveLookupTest, KeyTextAndFallbackKeyAndExtension) {
    std::vector<ArchiveSource> tree(1);
    tree[0].path = "k.txt";
    tree[0].data = "keyed";
    ArchiveWriteOptions keyed;
    keyed.keyText = "secret";
    WriteBytes("keyed.ZNA", MakeArchive(tree, keyed));
    ArchiveWriteOptions fallback;
    fallback.fallbackKey = true;
    WriteBytes("fallback.ZNA", MakeArchive(tree, fallback));
    WriteBytes("other.PAK", MakeArchive(tree));

    EXPECT_EQ(ReadThroughTable("keyed\\k.txt"), "<missing>") << "a wrong key leaves it closed";
    EXPECT_NE(TakeLog().find("keyed.ZNA"), std::string::npos);
    SetArchiveKeyText("secret");
    EXPECT_EQ(ReadThroughTable("keyed\\k.txt"), "keyed");
    EXPECT_EQ(ReadThroughTable("fallback\\k.txt"), "keyed");
    EXPECT_EQ(ReadThroughTable("other\\k.txt"), "<missing>");
    SetArchiveKeyText(nullptr);
    SetArchiveExtension("PAK");
    EXPECT_EQ(ReadThroughTable("other\\k.txt"), "keyed");
}

TEST_F(ArchiveLookupTest, MemoryModeReadsTheSame) {
    const std::vector<ArchiveSource> tree = SampleTree();
    WriteBytes("mem.ZNA", MakeArchive(tree));
    const int slot = OpenArchive("mem.ZNA", 1);
    ASSERT_GE(slot, 0);
    // Resolution finds the same archive open (by its composed path it is another name, so the
    // memory-mode one is checked directly here).
    OpenArchiveState* archive = GetOpenArchive(slot);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->memoryMode, 1u);
    EXPECT_EQ(archive->file, nullptr);
    // The data area starts with the first file of the root, stored as it is.
    char bytes[10];
    ASSERT_TRUE(ReadArchiveBytes(archive, archive->header.dataOffset, bytes, sizeof(bytes)));
    EXPECT_EQ(std::string(bytes, sizeof(bytes)), tree[0].data.substr(0, sizeof(bytes)));
    EXPECT_FALSE(ReadArchiveBytes(archive, archive->fileSize - 2, bytes, 3));
    ReleaseArchive(slot);
    EXPECT_EQ(CloseArchive(slot), 0);
    EXPECT_EQ(CloseArchive(slot), -1);
}

// The memory-mode setting decides how archives found for paths are opened: in memory the
// whole file is read at open, so later changes to the file on the disk are not seen.
TEST_F(ArchiveLookupTest, MemoryModeSettingReachesArchivesFoundForPaths) {
    std::vector<ArchiveSource> tree(2);
    tree[0].path = "a.txt";
    tree[0].data = "first";
    tree[1].path = "b.txt";
    tree[1].data = "second";
    struct Case {
        int mode;
        const char* afterOverwrite;  // b.txt once the archive file was cut to nothing
    };
    for (const Case& c : {Case{0, ""}, Case{1, "second"}}) {
        SCOPED_TRACE(c.mode);
        CloseAllArchives();
        WriteBytes("m.ZNA", MakeArchive(tree));
        SetArchiveMemoryMode(c.mode);
        EXPECT_EQ(GetArchiveMemoryMode(), c.mode);
        EXPECT_EQ(ReadThroughTable("m\\a.txt"), "first");
        const int slot = GetArchiveState().cacheSlot;
        ASSERT_GE(slot, 0);
        const OpenArchiveState* archive = GetOpenArchive(slot);
        EXPECT_EQ(archive->memoryMode, static_cast<uint32_t>(c.mode));
        EXPECT_EQ(archive->file == nullptr, c.mode == 1) << "memory mode closes the file";

        WriteWholeFile("m.ZNA", "");
        const uintptr_t file = FileAccessOpen("m\\b.txt", 0, 0, 0);
        ASSERT_NE(file, 0u) << "the archive stays open";
        char bytes[16] = {};
        const size_t got = FileAccessRead(bytes, 1, sizeof(bytes), file);
        EXPECT_EQ(std::string(bytes, got), c.afterOverwrite);
        EXPECT_EQ(FileAccessClose(file), 0);
    }
    // Archives open already keep their mode; the setting survives start-up's clearing.
    ClearArchiveTables();
    EXPECT_EQ(GetArchiveMemoryMode(), 1);
}

TEST_F(ArchiveLookupTest, FullFileTableIsRefusedWithALogLine) {
    std::vector<ArchiveSource> tree(1);
    tree[0].path = "x";
    tree[0].data = "x";
    WriteBytes("many.ZNA", MakeArchive(tree));
    std::vector<uintptr_t> handles;
    for (int i = 0; i < kArchiveFileSlots; ++i) {
        handles.push_back(FileAccessOpen("many\\x", 0, 0, 0));
        ASSERT_NE(handles.back(), 0u);
    }
    TakeLog();
    EXPECT_EQ(FileAccessOpen("many\\x", 0, 0, 0), 0u);
    EXPECT_NE(TakeLog().find("同時に開けるファイルの数が限界を超えました"), std::string::npos);
    for (uintptr_t handle : handles) EXPECT_EQ(FileAccessClose(handle), 0);
    EXPECT_EQ(FileAccessClose(handles[0]), -1) << "a closed handle is refused";
    EXPECT_EQ(FileAccessRead(nullptr, 1, 1, 12345), 0u) << "a foreign handle reads nothing";
}

// A read of a stored member that fails on the disk answers 0 and sets the end flag, so that a
// reader looping until the end stops there; a seek clears the flag and the member reads again.
TEST_F(ArchiveLookupTest, AFailedReadOfAStoredMemberEndsTheReaderLoop) {
    ArchiveWriteOptions options;
    options.pack = false;
    std::vector<ArchiveSource> tree(1);
    tree[0].path = "stored.bin";
    tree[0].data = std::string(10000, 's');
    WriteBytes("data.ZNA", MakeArchive(tree, options));
    const uintptr_t file = FileAccessOpen("data\\stored.bin", 0, 0, 0);
    ASSERT_NE(file, 0u);

    char chunk[1000];
    ASSERT_EQ(FileAccessRead(chunk, 1, sizeof chunk, file), sizeof chunk);
    EXPECT_EQ(FileAccessEof(file), 0);
    plat::FailNextFileReads(1);
    size_t read = sizeof chunk;
    int calls = 0;
    while (FileAccessEof(file) == 0 && calls < 100) {
        read += FileAccessRead(chunk, 1, sizeof chunk, file);
        ++calls;
    }
    EXPECT_EQ(calls, 1) << "the loop went on past the failed read";
    EXPECT_EQ(read, sizeof chunk);
    EXPECT_EQ(FileAccessEof(file), -1);

    ASSERT_EQ(FileAccessSeek(file, 0, 0), 0);
    EXPECT_EQ(FileAccessEof(file), 0);
    std::string again;
    while (FileAccessEof(file) == 0 && again.size() <= tree[0].data.size()) {
        const size_t got = FileAccessRead(chunk, 1, sizeof chunk, file);
        again.append(chunk, got);
    }
    EXPECT_EQ(again, tree[0].data);
    EXPECT_EQ(FileAccessClose(file), 0);
}

}  // namespace
