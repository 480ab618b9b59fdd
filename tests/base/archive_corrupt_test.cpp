// Damaged archives are refused with a log line, without a crash, a hang or a leak: headers
// and tables are checked before use and packed data is unpacked with its bounds checked.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/archive/archive_format.h"
#include "base/archive/archive_key.h"
#include "tests/base/archive_fixture.h"

namespace {

// a/b/c.txt (packed), a/d.txt, e.txt: root record 0, a at 16, b at 32.
std::vector<ArchiveSource> SmallTree() {
    std::vector<ArchiveSource> tree(3);
    tree[0].path = "a/b/c.txt";
    tree[0].data = std::string(400, 'c');
    tree[1].path = "a/d.txt";
    tree[1].data = "d";
    tree[2].path = "e.txt";
    tree[2].data = "eeee";
    return tree;
}

// The archive's bytes unscrambled, changed by edit, and scrambled again.
std::vector<unsigned char> Edited(std::vector<unsigned char> bytes,
                                  const std::function<void(unsigned char*, const ArchiveHeader&)>& edit) {
    const ArchiveKey key = BuildArchiveKey(nullptr);
    XorArchiveBytes(bytes.data(), bytes.size(), 0, key);
    const ArchiveHeader header = ParseArchiveHeader(bytes.data());
    edit(bytes.data(), header);
    XorArchiveBytes(bytes.data(), bytes.size(), 0, key);
    return bytes;
}

unsigned char* DirRecord(unsigned char* bytes, const ArchiveHeader& h, uint32_t dir) {
    return bytes + h.tablesOffset + h.dirTable + dir;
}

// The n-th entry of the directory record dir.
unsigned char* Entry(unsigned char* bytes, const ArchiveHeader& h, uint32_t dir, uint32_t n) {
    const uint32_t first = ReadLe32(DirRecord(bytes, h, dir) + kDirFirstEntry);
    return bytes + h.tablesOffset + h.entryTable + first + n * kArchiveEntrySizeV2;
}

class ArchiveCorruptTest : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        good_ = MakeArchive(SmallTree());
    }

    // Writes the bytes as t.ZNA (closing what the last try left open) and reads t/a/b/c.txt.
    std::string Try(const std::vector<unsigned char>& bytes, const char* path = "t\\a\\b\\c.txt") {
        CloseAllArchives();
        WriteBytes("t.ZNA", bytes);
        return ReadThroughTable(path);
    }

    std::vector<unsigned char> good_;
};

TEST_F(ArchiveCorruptTest, TheUndamagedArchiveReads) {
    EXPECT_EQ(Try(good_), std::string(400, 'c'));
    EXPECT_EQ(Try(good_, "t\\a\\d.txt"), "d");
}

TEST_F(ArchiveCorruptTest, EveryTruncationIsRefused) {
    for (size_t size = 0; size < good_.size(); ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        TakeLog();
        ASSERT_EQ(Try(std::vector<unsigned char>(good_.begin(), good_.begin() + size)), "<missing>");
        if (size > 0) {
            EXPECT_NE(TakeLog().find("t.ZNA"), std::string::npos) << "no log line";
        }
    }
}

TEST_F(ArchiveCorruptTest, DamagedHeadersAndTablesAreRefused) {
    using Edit = std::function<void(unsigned char*, const ArchiveHeader&)>;
    const std::vector<std::pair<const char*, Edit>> cases = {
        {"version 4", [](unsigned char* b, const ArchiveHeader&) { WriteLe16(b + 2, 4); }},
        {"version 0xFFFF", [](unsigned char* b, const ArchiveHeader&) { WriteLe16(b + 2, 0xFFFF); }},
        {"tables beyond the file",
         [](unsigned char* b, const ArchiveHeader& h) { WriteLe32(b + 4, h.tablesSize + 1); }},
        {"tables offset wraps",
         [](unsigned char* b, const ArchiveHeader&) { WriteLe32(b + 12, 0xFFFFFFF0u); }},
        {"data area beyond the file",
         [](unsigned char* b, const ArchiveHeader&) { WriteLe32(b + 8, 0x7FFFFFFF); }},
        {"entry table beyond the tables",
         [](unsigned char* b, const ArchiveHeader& h) { WriteLe32(b + 16, h.tablesSize + 4); }},
        {"directory table beyond the tables",
         [](unsigned char* b, const ArchiveHeader& h) { WriteLe32(b + 20, h.tablesSize - 8); }},
        {"a directory that is its own child",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 16, 0) + kEntryDataOffset, 16);  // a/b names a's record
         }},
        {"the root as a child",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 0, 0) + kEntryDataOffset, 0);  // a names the root
         }},
        {"a parent chain back to itself",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(DirRecord(b, h, 32) + kDirParent, 32);
         }},
        {"entries beyond the table",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(DirRecord(b, h, 16) + kDirEntryCount, 1000);
         }},
        {"entry count that wraps",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(DirRecord(b, h, 0) + kDirEntryCount, 0xFFFFFFFFu);
         }},
        {"first entry beyond the table",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(DirRecord(b, h, 0) + kDirFirstEntry, h.tablesSize);
         }},
        {"a directory record beyond the table",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 0, 0) + kEntryDataOffset, 0xFFFFFFF8u);
         }},
        {"a name beyond the tables",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 0, 0) + kEntryNameOffset, h.tablesSize - 2);
         }},
        {"a name longer than the tables",
         [](unsigned char* b, const ArchiveHeader& h) {
             unsigned char* name = b + h.tablesOffset + ReadLe32(Entry(b, h, 0, 0) + kEntryNameOffset);
             WriteLe16(name, 0xFFFF);
         }},
        {"a name without its terminator",
         [](unsigned char* b, const ArchiveHeader& h) {
             unsigned char* name = b + h.tablesOffset + ReadLe32(Entry(b, h, 0, 0) + kEntryNameOffset);
             const size_t padded = 4u * ReadLe16(name);
             std::memset(name + 4 + padded, 'X', padded);  // the stored name fills its padding
         }},
        {"file data beyond the archive",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 0, 1) + kEntryDataSize, 0x10000000);  // e.txt
         }},
        {"packed size below its header",
         [](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(Entry(b, h, 32, 0) + kEntryPackedSize, 4);
         }},
    };
    for (const auto& [name, edit] : cases) {
        SCOPED_TRACE(name);
        TakeLog();
        EXPECT_EQ(Try(Edited(good_, edit)), "<missing>");
        EXPECT_NE(TakeLog().find("t.ZNA"), std::string::npos) << "no log line";
    }
}

TEST_F(ArchiveCorruptTest, DamagedPackedDataFailsTheOpen) {
    using Edit = std::function<void(unsigned char*, const ArchiveHeader&)>;
    auto packed = [](unsigned char* b, const ArchiveHeader& h) {
        return b + h.dataOffset + ReadLe32(Entry(b, h, 32, 0) + kEntryDataOffset);
    };
    ASSERT_TRUE([&] {
        bool isPacked = false;
        Edited(good_, [&](unsigned char* b, const ArchiveHeader& h) {
            isPacked = ReadLe32(Entry(b, h, 32, 0) + kEntryPackedSize) != kArchiveStored;
        });
        return isPacked;
    }()) << "c.txt must be packed for this test";
    const std::vector<std::pair<const char*, Edit>> cases = {
        {"block's packed size disagrees with the entry",
         [&](unsigned char* b, const ArchiveHeader& h) {
             unsigned char* p = packed(b, h);
             WriteLe32(p + 4, ReadLe32(p + 4) - 1);
         }},
        {"block's unpacked size disagrees with the entry",
         [&](unsigned char* b, const ArchiveHeader& h) { WriteLe32(packed(b, h), 399); }},
        {"entry's packed size shorter than the block",
         [&](unsigned char* b, const ArchiveHeader& h) {
             unsigned char* entry = Entry(b, h, 32, 0) + kEntryPackedSize;
             WriteLe32(entry, ReadLe32(entry) - 1);
         }},
        {"an unpacked size beyond what the block can stand for",
         [&](unsigned char* b, const ArchiveHeader& h) {
             WriteLe32(packed(b, h), 0xF0000000u);
             WriteLe32(Entry(b, h, 32, 0) + kEntryDataSize, 0xF0000000u);
         }},
        {"a copy from before the start",
         [&](unsigned char* b, const ArchiveHeader& h) {
             unsigned char* p = packed(b, h);
             // After the first literal comes a copy; its offset byte made huge.
             ASSERT_EQ(p[10], p[8]);
             const size_t offsetAt = 12 + (((p[11] > p[8] ? p[11] - 1 : p[11]) & 4) ? 1 : 0);
             p[offsetAt] = 0xF0;
         }},
    };
    for (const auto& [name, edit] : cases) {
        SCOPED_TRACE(name);
        TakeLog();
        EXPECT_EQ(Try(Edited(good_, edit)), "<missing>");
        EXPECT_NE(TakeLog().find("c.txt"), std::string::npos) << "no log line";
        EXPECT_EQ(ReadThroughTable("t\\e.txt"), "eeee") << "the rest of the archive still reads";
    }
}

TEST_F(ArchiveCorruptTest, FlippedBytesNeverCrash) {
    // Every byte of header and tables, flipped: refused, or read within the archive's bounds.
    const ArchiveHeader h = [&] {
        std::vector<unsigned char> plain = good_;
        XorArchiveBytes(plain.data(), plain.size(), 0, BuildArchiveKey(nullptr));
        return ParseArchiveHeader(plain.data());
    }();
    std::vector<size_t> positions;
    for (size_t i = 0; i < kArchiveHeaderSize; ++i) positions.push_back(i);
    for (size_t i = h.tablesOffset; i < good_.size(); ++i) positions.push_back(i);
    int refused = 0;
    for (size_t at : positions) {
        for (unsigned char mask : {0x01, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " mask " + std::to_string(mask));
            std::vector<unsigned char> bytes = good_;
            bytes[at] ^= mask;
            const std::string got = Try(bytes);
            if (got == "<missing>") {
                ++refused;
            } else {
                EXPECT_LE(got.size(), 400u);
            }
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
