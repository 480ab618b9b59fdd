// The archives through the library as the program starts it: a picture that lies only inside
// res.ZNA loads as a graph from "res\..." like a loose file, and shut-down closes the archive.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/archive/archive_state.h"
#include "base/archive/archive_writer.h"
#include "base/tracked_memory.h"
#include "library/public/api.h"
#include "tests/support/bmp_file.h"
#include "tests/support/library_fixture.h"

namespace {

class ArchiveEntryTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
    }
};

TEST_F(ArchiveEntryTest, GraphLoadsFromAPictureInsideTheArchive) {
    const AllocState& memory = GetAllocState();
    const uint32_t blocksBefore = memory.count;

    std::vector<ArchiveSource> tree(2);
    tree[0].path = "Player.bmp";
    tree[0].data = Bmp24Bytes(5, 3, 0x1E140Au);  // R 30, G 20, B 10
    tree[1].path = "sub/tile.bmp";
    tree[1].data = Bmp24Bytes(64, 32, 0x3264C8u);  // R 50, G 100, B 200: a flat picture, packed
    std::string error;
    const std::vector<unsigned char> archive = WriteArchive(tree, ArchiveWriteOptions{}, &error);
    ASSERT_FALSE(archive.empty()) << error;
    std::ofstream(dir_.path() / "res.ZNA", std::ios::binary)
        .write(reinterpret_cast<const char*>(archive.data()),
               static_cast<std::streamsize>(archive.size()));
    ASSERT_FALSE(std::filesystem::exists(dir_.path() / "res")) << "no loose folder";

    ASSERT_EQ(ApiInitLibrary(), 0);
    const int graph = ApiLoadGraphFromPath("res\\Player.bmp", 0);
    ASSERT_NE(graph, -1);
    int width = 0, height = 0;
    ASSERT_EQ(ApiQueryGraphSize(graph, &width, &height), 0);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);

    const int tile = ApiLoadGraphFromPath("res\\sub\\tile.bmp", 0);
    ASSERT_NE(tile, -1);
    ASSERT_EQ(ApiQueryGraphSize(tile, &width, &height), 0);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(ApiLoadGraphFromPath("res\\missing.bmp", 0), -1);

    ASSERT_EQ(ApiTermLibrary(), 0);
    for (ArchiveRecord* record : GetArchiveState().archives) EXPECT_EQ(record, nullptr);
    EXPECT_EQ(memory.count, blocksBefore) << "shut-down closes the archive";
}

}  // namespace
