// Graphs whose surfaces were lost and restored are filled again from their files through the
// image transfer, and hold the same pixels as before the loss: whole graphs and the tiles of a
// divided one, from 24-bit and 8-bit files, on 16-bit and 32-bit displays.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/file_access_table.h"
#include "graphics/graph_load/graph_load.h"
#include "tests/graphics/image_fixtures.h"
#include "tests/graphics/image_transfer/image_transfer_test_support.h"

namespace {

class ImageTransferReloadTest : public ImageTransferFixture {
protected:
    void SetUp() override {
        ImageTransferFixture::SetUp();
        SetFileAccessTable(&GetDiskFileAccessTable());
    }
    void TearDown() override {
        SetFileAccessTable(nullptr);
        ImageTransferFixture::TearDown();
    }

    std::string Write(const char* name, const fixtures::BmpFile& file) {
        const std::string path = (dir_.path() / name).string();
        const fixtures::Bytes bytes = fixtures::BuildBmp(file);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

fixtures::BmpFile Bmp(int width, int height, int bits) {
    fixtures::BmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = static_cast<uint16_t>(bits);
    if (bits == 8) f.table = fixtures::MakeBmpTable(256);
    f.pixels = fixtures::PackBmpRows(width, height, bits, false, [bits](int x, int y) {
        return bits == 8 ? static_cast<uint32_t>(x * 9 + y * 31) & 0xFF
                         : static_cast<uint32_t>(x * 0x0B1D27 + y * 0x2C0913 + 0x405060) & 0xFFFFFF;
    });
    return f;
}

TEST_F(ImageTransferReloadTest, LostSurfacesAreReloadedWithTheSamePixels) {
    const std::string picture = Write("picture.bmp", Bmp(7, 5, 24));
    const std::string indexed = Write("indexed.bmp", Bmp(6, 4, 8));
    const std::string tiles = Write("tiles.bmp", Bmp(12, 6, 24));
    InstallGraphReloadHandler(nullptr);
    GetDrawState().softImageSetting = 0;  // plain surfaces, which video memory can lose
    for (int display : {16, 32}) {
        SCOPED_TRACE(display);
        UseDisplay(display);
        std::vector<HandleValue> graphs = {LoadGraphFile(picture.c_str(), 0, 0, 0),
                                           LoadGraphFile(indexed.c_str(), 0, 0, 0)};
        HandleValue divided[6];
        ASSERT_EQ(LoadDivGraphFile(tiles.c_str(), 6, 3, 2, 4, 3, divided, 0, 0), 0);
        graphs.insert(graphs.end(), divided, divided + 6);
        std::vector<std::vector<uint8_t>> before;
        for (HandleValue g : graphs) {
            ASSERT_GE(g, 0);
            ASSERT_EQ(DataOf(g)->software, 0u);  // held in video-memory surfaces
            before.push_back(PieceBytes(g));
        }

        ASSERT_GT(plat::LoseVideoMemorySurfaces(), 0);
        RestoreLostGraphSurfaces();
        ASSERT_EQ(GetGraphRecord(graphs[0])->lost, 1);
        ASSERT_NE(PieceBytes(graphs[0]), before[0]);  // restored memory holds no picture
        // The graph layer's loss handling marks every graph and runs the default reloader.
        FlagGraphsLostAndRestore();

        for (size_t i = 0; i < graphs.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(GetGraphRecord(graphs[i])->lost, 0);
            EXPECT_EQ(PieceBytes(graphs[i]), before[i]);
            // The piece's colour key is on its surface again.
            plat::ColorKey key{};
            ASSERT_EQ(DataOf(graphs[i])->surface->GetColorKey(plat::DDCKEY_SRCBLT, &key),
                      plat::DD_OK);
            EXPECT_EQ(key.low, MakeSurfaceScreenColor(0, 0, 0));
        }
        for (HandleValue g : graphs) DeleteGraphHandle(g, 0);
    }
}

}  // namespace
