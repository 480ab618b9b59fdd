// The made files loaded the way the game loads them, through the library as the program
// starts it (headless): every image whole or cut into the table's tiles, with the key colour
// transparent around the shapes, and every sound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_target/draw_target_images.h"
#include "graphics/graphs/graph_handle_table.h"
#include "softrender/records/memimg.h"
#include "library/public/api.h"
#include "tests/support/library_fixture.h"
#include "tests/tools/resource_table.h"

namespace {

class ResourceLoadTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
    }

    // Whether pixel (x, y) of a graph's software image is its transparent key value.
    static bool IsKeyPixel(int graph, int x, int y) {
        MEMIMG view = {};
        const MEMIMG* image = GetGraphSoftImage(GetGraphRecord(graph), &view, nullptr);
        EXPECT_NE(image, nullptr);
        if (image == nullptr || image->pixels == nullptr) return false;
        const int bytes = MemImgBytesPerPixel(image->pixelFormat, image->paletted, image->alpha);
        const uint8_t* p = image->pixels + static_cast<size_t>(y) * image->pitch +
                           static_cast<size_t>(x) * bytes;
        uint32_t value = 0;
        std::memcpy(&value, p, static_cast<size_t>(bytes));
        const uint32_t mask = bytes >= 4 ? 0x00FFFFFFu : (1u << (8 * bytes)) - 1;
        return (value & mask) == (image->colorKey & mask);
    }
};

TEST_F(ResourceLoadTest, EveryImageLoadsAsTheGameCutsItWithTheKeyAroundTheShapes) {
    ASSERT_EQ(ApiInitLibrary(), 0);
    ASSERT_EQ(ApiSetColorKeyRGB(0, 128, 0), 0);
    for (const ImageEntry& e : ImageTable()) {
        const std::string path = ResourcePath(e.name);
        std::vector<int> handles(static_cast<size_t>(e.count), -1);
        if (e.tiled) {
            ASSERT_EQ(ApiLoadDivGraphFromPath(path.c_str(), e.count, e.perRow, e.rows, e.width,
                                              e.height, handles.data(), 0),
                      0)
                << e.name;
        } else {
            handles[0] = ApiLoadGraphFromPath(path.c_str(), 0);
        }
        for (int i = 0; i < e.count; ++i) {
            const int h = handles[static_cast<size_t>(i)];
            ASSERT_NE(h, -1) << e.name << " tile " << i;
            int w = 0, hgt = 0;
            ASSERT_EQ(ApiQueryGraphSize(h, &w, &hgt), 0);
            if (e.tiled) {
                EXPECT_EQ(w, e.width) << e.name;
                EXPECT_EQ(hgt, e.height) << e.name;
            }
            // Sprites: transparent at the corner with something solid; opaque tiles solid.
            EXPECT_EQ(IsKeyPixel(h, 0, 0), !e.opaque) << e.name << " tile " << i;
            int solid = 0;
            for (int y = 0; y < hgt; ++y) {
                for (int x = 0; x < w; ++x) solid += IsKeyPixel(h, x, y) ? 0 : 1;
            }
            const bool fontGap = (e.name == "fonts.bmp" || e.name == "fontl.bmp") &&
                                 !FontTileUsed(i);
            if (fontGap) {
                EXPECT_EQ(solid, 0) << e.name << " tile " << i;
            } else {
                EXPECT_GT(solid, 0) << e.name << " tile " << i;
            }
            if (e.opaque) {
                EXPECT_EQ(solid, w * hgt) << e.name << " tile " << i;
            }
        }
    }
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(ResourceLoadTest, EverySoundLoadsWithThreeBuffers) {
    ASSERT_EQ(ApiInitLibrary(), 0);
    std::vector<std::string> sounds = EffectTable();
    sounds.push_back("main.ogg");
    for (const std::string& name : sounds) {
        const int handle = ApiLoadSoundFromFile(ResourcePath(name).c_str(), 3, -1);
        EXPECT_NE(handle, -1) << name;
    }
    ASSERT_EQ(ApiTermLibrary(), 0);
}

}  // namespace
