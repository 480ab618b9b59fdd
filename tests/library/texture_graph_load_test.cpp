// Texture graphs through the shipped start-up with the Direct3D device offered: a BMP file
// loaded through the public entry becomes a texture graph cut into pieces whose textures hold
// the file's pixels; a divided load's tiles share the textures of the picture they came from,
// which lives on after the picture graph itself is gone; a graph reloaded from its file gets
// its pixels back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_data.h"
#include "tests/support/bmp_file.h"
#include "tests/support/headless_library_fixture.h"

namespace {

// Every channel 0 or 255, so that every texture format holds the colours exactly; black (the
// default transparent colour) here and there.
uint32_t Colour(int x, int y) {
    if ((x * 3 + y) % 11 == 0) return 0;
    return (x & 1 ? 0xFF0000u : 0) | (y & 1 ? 0x00FF00u : 0) | ((x / 2 + y / 3) & 1 ? 0xFFu : 0);
}

class TextureGraphLoadTest : public HeadlessLibraryFixture {
protected:
    static void Start(int32_t depth) {
        ASSERT_EQ(PrepareWindowedStart(depth, true), 0);
        StartWithoutPumpThread();
        ASSERT_EQ(GetScreenState().softwareScreen, 0);
        ASSERT_EQ(Direct3DIsUp(), 1);
        ASSERT_EQ(&*TextureSlot(), &kTexturePieces);
    }

    // Pixels of the graph's pieces whose texture pixel does not show Colour(originX + graph x,
    // originY + graph y): the colour exactly, alpha 0 for black where the format has alpha.
    static int CountWrongPixels(HandleValue handle, int originX, int originY) {
        const GraphRecord* graph = GetGraphRecord(handle);
        if (graph == nullptr || !graph->flags.is3D || graph->surfaceCount < 1) return -1;
        int wrong = 0;
        for (int32_t i = 0; i < graph->surfaceCount; ++i) {
            const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
            if (piece == nullptr) return -1;
            const SurfaceDataRecord* texture = GetSurfaceData(piece->surfaceData);
            const RECT whole = {0, 0, texture->width, texture->height};
            int32_t pitch = 0;
            void* p = nullptr;
            const PaletteColorFormat* format = nullptr;
            if (LockSurfaceData(piece->surfaceData, &pitch, &p, 0, &whole, &format) != 0) return -1;
            const ColorFormat& f = format->format;
            for (int y = 0; y < piece->height; ++y) {
                for (int x = 0; x < piece->width; ++x) {
                    uint32_t value = 0;
                    std::memcpy(&value,
                                static_cast<uint8_t*>(p) + int64_t{piece->textureY + y} * pitch +
                                    int64_t{piece->textureX + x} * f.bytes,
                                f.bytes);
                    int r, g, b, a;
                    ColorFormatPixelToRgba(&f, value, &r, &g, &b, &a);
                    const uint32_t shown = static_cast<uint32_t>(r << 16 | g << 8 | b);
                    const uint32_t wanted = Colour(originX + piece->x + x, originY + piece->y + y);
                    const bool alphaRight = f.widthA == 0 || (wanted == 0 ? a == 0 : a == 255);
                    if (shown != wanted || !alphaRight) ++wrong;
                }
            }
            UnlockSurfaceData(piece->surfaceData, &whole);
        }
        return wrong;
    }
};

TEST_F(TextureGraphLoadTest, LoadedFileIsHeldInTexturePiecesWithItsPixels) {
    WriteBmp24File(Path("wide.bmp"), 700, 90, Colour);
    for (const int32_t depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Start(depth);
        const int graph = ApiLoadGraphFromPath(Path("wide.bmp").c_str(), 0);
        ASSERT_NE(graph, -1);
        const GraphRecord* record = GetGraphRecord(graph);
        ASSERT_EQ(record->flags.is3D, 1);
        // 700 across on a 640 screen: 512, 128 and 64 wide; 90 down: one 128.
        ASSERT_EQ(record->surfaceCount, 3);
        EXPECT_EQ(GetSurfaceData(GetSurface3DData(record->surfaces[2])->surfaceData)->width, 64);
        EXPECT_EQ(CountWrongPixels(graph, 0, 0), 0);

        // A graph kept off Direct3D is not a texture graph.
        const int plain = ApiLoadGraphFromPath(Path("wide.bmp").c_str(), 1);
        ASSERT_NE(plain, -1);
        EXPECT_EQ(GetGraphRecord(plain)->flags.is3D, 0);

        // Filled black, then reloaded from its file: the pixels come back.
        ASSERT_EQ(FillGraph(graph, 0, 0, 0, 0), 0);
        EXPECT_GT(CountWrongPixels(graph, 0, 0), 0);
        FlagGraphsLostAndRestore();
        EXPECT_EQ(GetGraphRecord(graph)->lost, 0);
        EXPECT_EQ(CountWrongPixels(graph, 0, 0), 0);

        ASSERT_EQ(ApiTermLibrary(), 0);
        EXPECT_EQ(GetSurface3DTable().count, 0);
        ResetScreenState();
    }
}

TEST_F(TextureGraphLoadTest, DividedTilesShareThePicturesTexturesAfterItIsGone) {
    WriteBmp24File(Path("tiles.bmp"), 700, 40, Colour);
    Start(16);
    // Four tiles of 175 × 40 from a picture cut at 512 and 640: the third tile (350..525) lies
    // in the first two textures, the fourth (525..700) in the last two.
    int tiles[4] = {};
    ASSERT_EQ(ApiLoadDivGraphFromPath(Path("tiles.bmp").c_str(), 4, 4, 1, 175, 40, tiles, 0), 0);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(tiles[i], -1);
        EXPECT_EQ(CountWrongPixels(tiles[i], 175 * i, 0), 0);
    }
    const GraphRecord* third = GetGraphRecord(tiles[2]);
    ASSERT_EQ(third->surfaceCount, 2);
    const Surface3DData* left = GetSurface3DData(third->surfaces[0]);
    const Surface3DData* right = GetSurface3DData(third->surfaces[1]);
    EXPECT_EQ(left->width, 162);
    EXPECT_EQ(right->width, 13);
    EXPECT_EQ(right->x, 162);
    // The picture graph is gone; its textures live on, shared by the tiles' pieces.
    EXPECT_EQ(GetSurfaceData(left->surfaceData)->refCount, 3);
    EXPECT_EQ(GetSurfaceData(right->surfaceData)->refCount, 2);
    EXPECT_EQ(GetSurface3DData(GetGraphRecord(tiles[0])->surfaces[0])->surfaceData,
              left->surfaceData);

    // Tiles deleted one by one: a shared texture goes with the last piece on it.
    const HandleValue first = left->surfaceData, second = right->surfaceData;
    ASSERT_EQ(DeleteGraphHandle(tiles[0], 0), 0);
    ASSERT_EQ(DeleteGraphHandle(tiles[1], 0), 0);
    ASSERT_NE(GetSurfaceData(first), nullptr);
    EXPECT_EQ(CountWrongPixels(tiles[2], 350, 0), 0);
    ASSERT_EQ(DeleteGraphHandle(tiles[2], 0), 0);
    EXPECT_EQ(GetSurfaceData(first), nullptr);
    ASSERT_NE(GetSurfaceData(second), nullptr);
    EXPECT_EQ(CountWrongPixels(tiles[3], 525, 0), 0);
}

TEST_F(TextureGraphLoadTest, SquareOnlyDeviceHoldsTheGraphInSquareTextures) {
    WriteBmp24File(Path("strip.bmp"), 100, 10, Colour);
    plat::SetD3DSquareOnlyTextures(true);
    Start(32);
    const int graph = ApiLoadGraphFromPath(Path("strip.bmp").c_str(), 0);
    ASSERT_NE(graph, -1);
    // One 128 × 16 texture becomes 16 × 16 squares side by side, as far as the graph reaches.
    const GraphRecord* record = GetGraphRecord(graph);
    ASSERT_EQ(record->surfaceCount, 7);
    for (int32_t i = 0; i < record->surfaceCount; ++i) {
        const Surface3DData* piece = GetSurface3DData(record->surfaces[i]);
        const SurfaceDataRecord* texture = GetSurfaceData(piece->surfaceData);
        EXPECT_EQ(texture->width, 16) << i;
        EXPECT_EQ(texture->height, 16) << i;
        EXPECT_EQ(piece->x, 16 * i) << i;
    }
    EXPECT_EQ(CountWrongPixels(graph, 0, 0), 0);
}

}  // namespace
