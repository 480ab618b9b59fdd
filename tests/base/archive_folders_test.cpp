// The archive names of disk folders are listed once and remembered: archives whose names
// differ from the composed one only in case are still found, repeated opens list nothing, and
// what was listed is forgotten at start-up (ClearArchiveTables) and when the extension changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/archive/archive_folders.h"
#include "tests/base/archive_fixture.h"

namespace {

class ArchiveFoldersTest : public ArchiveFixture {
protected:
    static std::vector<unsigned char> OneFile(const char* path, const char* data) {
        std::vector<ArchiveSource> tree(1);
        tree[0].path = path;
        tree[0].data = data;
        return MakeArchive(tree);
    }
};

TEST_F(ArchiveFoldersTest, RepeatedOpensListNoFolderAgain) {
    ASSERT_TRUE(std::filesystem::create_directories("deep/er/still"));
    WriteWholeFile("deep/er/still/loose.txt", "loose");
    WriteBytes("Pack.zNa", OneFile("in.txt", "packed"));

    // Names as the disk has them and as the library writes them, in either case.
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"deep\\er\\still\\loose.txt", "loose"},
        {"pack\\in.txt", "packed"},
        {"PACK\\IN.TXT", "packed"},
        {"deep\\er\\still\\loose.txt", "loose"},
    };
    ASSERT_EQ(ArchiveFolderListings(), 0u);
    for (const Case& c : cases) EXPECT_EQ(ReadThroughTable(c.path), c.expected) << c.path;
    const size_t listings = ArchiveFolderListings();
    EXPECT_GT(listings, 0u);
    // Every folder on the way has been listed: more opens, also of missing files, list none.
    for (int round = 0; round < 3; ++round) {
        for (const Case& c : cases) EXPECT_EQ(ReadThroughTable(c.path), c.expected) << c.path;
        EXPECT_EQ(ReadThroughTable("deep\\er\\missing.txt"), "<missing>");
    }
    EXPECT_EQ(ArchiveFolderListings(), listings);
}

TEST_F(ArchiveFoldersTest, ArchivesWrittenLaterAreFoundByTheirExactNameAndAfterStartUp) {
    ASSERT_TRUE(std::filesystem::create_directory("late"));
    WriteWholeFile("late/a.txt", "on the disk");
    EXPECT_EQ(ReadThroughTable("late\\a.txt"), "on the disk");

    // Written with the composed name: found at once (no listing needed).
    WriteBytes("late.ZNA", OneFile("a.txt", "exact"));
    EXPECT_EQ(ReadThroughTable("late\\a.txt"), "exact");
    CloseAllArchives();
    ASSERT_TRUE(std::filesystem::remove("late.ZNA"));

    // Written in another case after the folder was listed: the disk answers until the listing
    // is forgotten, which start-up does.
    EXPECT_EQ(ReadThroughTable("late\\a.txt"), "on the disk");
    WriteBytes("LATE.zna", OneFile("a.txt", "other case"));
    EXPECT_EQ(ReadThroughTable("late\\a.txt"), "on the disk");
    ClearArchiveTables();
    EXPECT_EQ(ArchiveFolderListings(), 0u);
    EXPECT_EQ(ReadThroughTable("late\\a.txt"), "other case");
}

TEST_F(ArchiveFoldersTest, ChangingTheExtensionForgetsTheListings) {
    WriteBytes("box.Pak", OneFile("b.txt", "in the pak"));
    EXPECT_EQ(ReadThroughTable("box\\b.txt"), "<missing>");
    EXPECT_GT(ArchiveFolderListings(), 0u);
    SetArchiveExtension("PAK");
    EXPECT_EQ(ArchiveFolderListings(), 0u);
    EXPECT_EQ(ReadThroughTable("box\\b.txt"), "in the pak");
    // Names that only end like the extension, or are folders, are no archives.
    ASSERT_TRUE(std::filesystem::create_directory("dir.pak"));
    WriteWholeFile("xpak", "not an archive");
    EXPECT_EQ(ReadThroughTable("dir\\b.txt"), "<missing>");
    EXPECT_EQ(ReadThroughTable("x\\b.txt"), "<missing>");
}

}  // namespace
