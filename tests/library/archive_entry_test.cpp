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
#include "tests/support/library_fixture.h"

namespace {

// A 24-bit bottom-up BMP of width x height pixels of one colour (B, G, R).
std::string Bmp(int32_t width, int32_t height, uint8_t b, uint8_t g, uint8_t r) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::string bytes(54 + imageBytes, '\0');
    auto put = [&](size_t at, uint32_t v, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageBytes, 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3;
            bytes[at] = static_cast<char>(b);
            bytes[at + 1] = static_cast<char>(g);
            bytes[at + 2] = static_cast<char>(r);
        }
    }
    return bytes;
}

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
    tree[0].data = Bmp(5, 3, 10, 20, 30);
    tree[1].path = "sub/tile.bmp";
    tree[1].data = Bmp(64, 32, 200, 100, 50);  // a flat picture: packed
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
