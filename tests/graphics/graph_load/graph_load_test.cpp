// The graph load road: files decoded into graphs (with "_a" alpha images), divided loads, the
// movie fallback's failures, and the reload of lost graphs from their files.
#include "graphics/graph_load/graph_load.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "platform/core/file.h"
#include "base/api_lock.h"
#include "base/file_access_table.h"
#include "library/public/api.h"
#include "tests/graphics/image_fixtures.h"
#include "tests/graphics/surfaces/surface_test_support.h"

namespace {

using fixtures::Bytes;

uint32_t Color(int x, int y) {
    return static_cast<uint32_t>(x * 0x0B1D27 + y * 0x2C0913 + 0x405060) & 0xFFFFFF;
}

// A 24-bit BMP of width × height pixels of colour(x, y).
Bytes Bmp24(int width, int height, uint32_t (*colour)(int, int)) {
    fixtures::BmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = 24;
    f.pixels =
        fixtures::PackBmpRows(width, height, 24, false, [&](int x, int y) { return colour(x, y); });
    return fixtures::BuildBmp(f);
}

uint32_t Grey(int x, int y) { return static_cast<uint32_t>((x * 40 + y * 7) & 0xFF) * 0x010101u; }

void WriteBytes(const std::string& name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// File opens through the access table, by name.
std::vector<std::string> gOpened;
uintptr_t CountingOpen(const char* path, int useCache, int extra, int async) {
    gOpened.emplace_back(path);
    return GetDiskFileAccessTable().open(path, useCache, extra, async);
}

class GraphLoadTest : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        UseDisplay(32);
        SetFileAccessTable(&GetDiskFileAccessTable());
        gOpened.clear();
    }
    void TearDown() override {
        SetFileAccessTable(nullptr);
        DestroyApiLock(&GetApiLockState());
        SurfaceFixture::TearDown();
    }

    static void CountOpens() {
        FileAccessTable table = GetDiskFileAccessTable();
        table.open = CountingOpen;
        SetFileAccessTable(&table);
    }

    // The graph's pixels (its first piece) as 32-bit values, top row first.
    static std::vector<uint32_t> GraphPixels(HandleValue graph) {
        std::vector<uint32_t> out;
        const GraphRecord* g = GetGraphRecord(graph);
        const Surface2DRecord* view = g != nullptr ? GetSurface2D(g->surfaces[0]) : nullptr;
        if (view == nullptr) return out;
        const SurfaceDataRecord* r = GetSurfaceData(view->surfaceData);
        const RECT area = {view->sourceX, view->sourceY, view->sourceX + view->width,
                           view->sourceY + view->height};
        int32_t pitch = 0;
        void* p = nullptr;
        const PaletteColorFormat* format = nullptr;
        EXPECT_EQ(LockSurfaceData(view->surfaceData, &pitch, &p, 0, &area, &format), 0);
        if (p == nullptr) return out;
        const int bytes = r->software ? MemImgBytesPerPixel(r->image.pixelFormat, r->image.paletted,
                                                            r->image.alpha)
                                      : format->format.bytes;
        for (int y = 0; y < view->height; ++y) {
            for (int x = 0; x < view->width; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, static_cast<uint8_t*>(p) + int64_t{y} * pitch + x * bytes,
                            static_cast<size_t>(bytes));
                out.push_back(v);
            }
        }
        UnlockSurfaceData(view->surfaceData, &area);
        return out;
    }

    // The colours of a rectangle of the picture, as 0x00RRGGBB values; mirrored when asked.
    static std::vector<uint32_t> Expected(int left, int top, int width, int height,
                                          bool mirrored = false) {
        std::vector<uint32_t> out;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                out.push_back(Color(mirrored ? left + width - 1 - x : left + x, top + y));
            }
        }
        return out;
    }

    static std::vector<uint32_t> Rgb(std::vector<uint32_t> pixels) {
        for (uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }
};

TEST_F(GraphLoadTest, FileBecomesAGraphThatRemembersItsSource) {
    WriteBytes("pic.bmp", Bmp24(6, 4, Color));
    const HandleValue graph = LoadGraphFile("pic.bmp", 0, 0, 0);
    ASSERT_GE(graph, 0);
    const GraphRecord* g = GetGraphRecord(graph);
    EXPECT_EQ(g->width, 6);
    EXPECT_EQ(g->height, 4);
    EXPECT_EQ(g->flags.alpha, 0);
    EXPECT_STREQ(g->fileName, "pic.bmp");
    EXPECT_EQ(IsGraphReloadable(g), 1);
    EXPECT_EQ(Rgb(GraphPixels(graph)), Expected(0, 0, 6, 4));

    const HandleValue mirrored = LoadGraphFile("pic.bmp", 0, 1, 0);
    ASSERT_GE(mirrored, 0);
    EXPECT_EQ(Rgb(GraphPixels(mirrored)), Expected(0, 0, 6, 4, true));
}

TEST_F(GraphLoadTest, AlphaComesFromTheUnderscoreAFileWhenThereIsOne) {
    GetDrawState().colorDepthSetting = 32;
    SetUseSoftImageGraph(1);
    struct Case {
        const char* colour;
        const char* alpha;
    };
    for (const Case c : {Case{"title.bmp", "title_a.bmp"}, Case{"plain", "plain_a"}}) {
        SCOPED_TRACE(c.colour);
        WriteBytes(c.colour, Bmp24(5, 3, Color));
        const HandleValue without = LoadGraphFile(c.colour, 0, 0, 0);
        ASSERT_GE(without, 0);
        EXPECT_EQ(GetGraphRecord(without)->flags.alpha, 0);

        WriteBytes(c.alpha, Bmp24(5, 3, Grey));
        const HandleValue with = LoadGraphFile(c.colour, 0, 0, 0);
        ASSERT_GE(with, 0);
        EXPECT_EQ(GetGraphRecord(with)->flags.alpha, 1);
        const std::vector<uint32_t> pixels = GraphPixels(with);
        ASSERT_EQ(pixels.size(), 15u);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * 5 + x];
                EXPECT_EQ(p & 0xFFFFFF, Color(x, y));
                EXPECT_EQ(p >> 24, Grey(x, y) & 0xFF) << x << "," << y;
            }
        }
    }
}

TEST_F(GraphLoadTest, AlphaNameGoesBeforeTheExtensionOfTheLastPathComponent) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"title.bmp", "title_a.bmp"},
        {"res\\title.bmp", "res\\title_a.bmp"},
        {"a.b.png", "a.b_a.png"},
        {"noext", "noext_a"},
        {"dir.v1\\file", "dir.v1\\file_a"},
        {"dir.v1/file", "dir.v1/file_a"},
        // 0x5C as the second byte of a double-byte character is no separator.
        {"d.e\x95\x5C"
         "f",
         "d_a.e\x95\x5C"
         "f"},
        {"", "_a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char out[64];
        ASSERT_TRUE(MakeAlphaImageName(c.path, out, sizeof out));
        EXPECT_STREQ(out, c.expected);
    }
    char small[8];
    EXPECT_FALSE(MakeAlphaImageName("abcdef", small, sizeof small));
    EXPECT_TRUE(MakeAlphaImageName("abcde", small, sizeof small));
}

TEST_F(GraphLoadTest, ImagesAndAlphaImagesDecodeFromMemoryBlocks) {
    const Bytes colour = Bmp24(5, 3, Color);
    const Bytes alpha = Bmp24(5, 3, Grey);
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        const char* name;
        const Bytes* colour;
        const Bytes* alpha;
        int alphaFromMemory;
        int expected;
    } cases[] = {
        {"both decode", &colour, &alpha, 1, 0},
        {"alpha block does not decode", &colour, &junk, 1, 1},
        {"no alpha block", &colour, nullptr, 1, 1},
        {"alpha source of another kind", &colour, &alpha, 2, 1},
        {"colour does not decode", &junk, &alpha, 1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GraphImage image{}, alphaImage{};
        EXPECT_EQ(LoadGraphImageWithAlpha(nullptr, c.colour->data(), c.colour->size(), 1,
                                          c.alpha != nullptr ? c.alpha->data() : nullptr,
                                          c.alpha != nullptr ? c.alpha->size() : 0,
                                          c.alphaFromMemory, &image, &alphaImage),
                  c.expected);
        EXPECT_EQ(image.pixels != nullptr, c.expected >= 0);
        EXPECT_EQ(alphaImage.pixels != nullptr, c.expected == 0);
        if (c.expected == 0) {
            EXPECT_EQ(GetGraphImagePixelArgb(&alphaImage, 1, 0) & 0xFF, Grey(1, 0) & 0xFF);
        }
        FreeGraphImage(&image);
        FreeGraphImage(&alphaImage);
    }
    EXPECT_EQ(GetAllocState().count, 0u);
}

TEST_F(GraphLoadTest, MissingAndUndecodableFilesFailWithTheirLogLines) {
    NewLogText();
    EXPECT_EQ(LoadGraphFile("missing.bmp", 0, 0, 0), -1);
    EXPECT_NE(NewLogText().find("グラフィックファイル missing.bmp がありません"),
              std::string::npos);

    // A file that no decoder takes is tried as a movie, which cannot be opened yet.
    WriteBytes("clip.avi", Bytes{'R', 'I', 'F', 'F', 1, 2, 3, 4, 'A', 'V', 'I', ' '});
    EXPECT_EQ(LoadGraphFile("clip.avi", 0, 0, 0), -1);
    EXPECT_NE(NewLogText().find("右記のグラフィックファイルのロードに失敗しました：clip.avi"),
              std::string::npos);
    EXPECT_EQ(GetGraphicsState().graphs.count, 0);
}

TEST_F(GraphLoadTest, GraphWhosePixelsCannotBeFilledIsNotHandedOut) {
    WriteBytes("pic.bmp", Bmp24(6, 4, Color));
    plat::FailNextSurfaceLocks(1);
    NewLogText();
    EXPECT_EQ(LoadGraphFile("pic.bmp", 0, 0, 0), -1);
    EXPECT_FALSE(NewLogText().empty());
    EXPECT_EQ(GetGraphicsState().graphs.count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
}

TEST_F(GraphLoadTest, DividedLoadMakesTilesRowByRowSharingThePixels) {
    WriteBytes("tiles.bmp", Bmp24(16, 9, Color));
    HandleValue handles[10];
    ASSERT_EQ(OpenDivGraphFile("tiles.bmp", 10, 4, 3, 4, 3, handles, 1), 0);
    // The ten tiles; the whole-image graph is gone, its pixels stay with the tiles.
    EXPECT_EQ(GetGraphicsState().graphs.count, 10);
    EXPECT_EQ(GetSurfaceDataTable().count, 1);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const GraphRecord* g = GetGraphRecord(handles[i]);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->width, 4);
        EXPECT_EQ(g->height, 3);
        EXPECT_STREQ(g->fileName, "tiles.bmp");
        EXPECT_EQ(Rgb(GraphPixels(handles[i])), Expected(i % 4 * 4, i / 4 * 3, 4, 3));
    }
}

TEST_F(GraphLoadTest, MirroredDividedLoadTakesTileZeroFromTheLeftOfTheFile) {
    WriteBytes("tiles.bmp", Bmp24(16, 9, Color));
    HandleValue handles[12];
    ASSERT_EQ(LoadDivGraphFile("tiles.bmp", 12, 4, 3, 4, 3, handles, 0, 1), 0);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Rgb(GraphPixels(handles[i])), Expected(i % 4 * 4, i / 4 * 3, 4, 3, true));
    }
}

TEST_F(GraphLoadTest, DividedLoadThatCannotBeMadeLeavesNoGraphsAndNoHandles) {
    WriteBytes("tiles.bmp", Bmp24(16, 9, Color));
    const struct {
        const char* name;
        const char* file;
        int total, xCount, yCount, width, height;
    } cases[] = {
        {"more tiles than places", "tiles.bmp", 13, 4, 3, 4, 3},
        {"no columns", "tiles.bmp", 2, 0, 3, 4, 3},
        {"tiles beyond the image", "tiles.bmp", 4, 4, 1, 10, 3},
        {"missing file", "none.bmp", 4, 4, 1, 4, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HandleValue handles[16];
        for (HandleValue& h : handles) h = 12345;
        NewLogText();
        EXPECT_EQ(
            OpenDivGraphFile(c.file, c.total, c.xCount, c.yCount, c.width, c.height, handles, 1),
            -1);
        EXPECT_FALSE(NewLogText().empty());
        for (int i = 0; i < c.total; ++i) EXPECT_EQ(handles[i], -1) << i;
        EXPECT_EQ(handles[c.total], 12345);
        EXPECT_EQ(GetGraphicsState().graphs.count, 0);
        EXPECT_EQ(GetSurfaceDataTable().count, 0);
    }
    HandleValue untouched = 12345;
    EXPECT_EQ(OpenDivGraphFile("tiles.bmp", 0, 4, 3, 4, 3, &untouched, 1), 0);
    EXPECT_EQ(untouched, 12345);
    EXPECT_EQ(GetGraphicsState().graphs.count, 0);
}

TEST_F(GraphLoadTest, LostGraphsAreReloadedFromTheirFilesInTheirDirectory) {
    std::filesystem::create_directory("sub");
    WriteBytes("sub/pic.bmp", Bmp24(6, 4, Color));
    WriteBytes("sub/tiles.bmp", Bmp24(16, 9, Color));
    WriteBytes("sub/gone.bmp", Bmp24(2, 2, Color));
    ASSERT_TRUE(plat::SetCurrentDir("sub"));
    const HandleValue single = LoadGraphFile("pic.bmp", 0, 0, 0);
    HandleValue tiles[8];
    ASSERT_EQ(OpenDivGraphFile("tiles.bmp", 8, 4, 2, 4, 3, tiles, 1), 0);
    const HandleValue gone = LoadGraphFile("gone.bmp", 0, 0, 0);
    ASSERT_GE(single, 0);
    ASSERT_GE(gone, 0);
    ASSERT_TRUE(plat::SetCurrentDir(".."));
    std::filesystem::remove("sub/gone.bmp");
    char before[260];
    ASSERT_GT(FileAccessGetDir(before), 0);

    ASSERT_GT(plat::LoseVideoMemorySurfaces(), 0);
    RestoreLostGraphSurfaces();
    ASSERT_EQ(GetGraphRecord(single)->lost, 1);
    ASSERT_NE(Rgb(GraphPixels(single)), Expected(0, 0, 6, 4));

    // The graph layer's loss handling calls the installed reloader.
    CountOpens();
    InstallGraphReloadHandler(nullptr);
    FlagGraphsLostAndRestore();

    EXPECT_EQ(Rgb(GraphPixels(single)), Expected(0, 0, 6, 4));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Rgb(GraphPixels(tiles[i])), Expected(i % 4 * 4, i / 4 * 3, 4, 3)) << i;
        EXPECT_EQ(GetGraphRecord(tiles[i])->lost, 0);
    }
    EXPECT_EQ(GetGraphRecord(single)->lost, 0);
    EXPECT_EQ(GetGraphRecord(gone)->lost, 0);  // not reloadable, but no longer waiting
    // One decode per file (the image and its "_a" companion), not one per tile.
    const std::vector<std::string> expectedOpens = {"pic.bmp", "pic_a.bmp", "tiles.bmp",
                                                    "tiles_a.bmp", "gone.bmp"};
    EXPECT_EQ(gOpened, expectedOpens);
    char after[260];
    ASSERT_GT(FileAccessGetDir(after), 0);
    EXPECT_STREQ(after, before);
}

TEST_F(GraphLoadTest, PublicEntriesLoadUnderTheLock) {
    WriteBytes("tiles.bmp", Bmp24(16, 9, Color));
    const int graph = ApiLoadGraphFromPath("tiles.bmp", 0);
    ASSERT_GE(graph, 0);
    int width = 0, height = 0;
    EXPECT_EQ(ApiQueryGraphSize(graph, &width, &height), 0);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 9);
    int handles[3];
    EXPECT_EQ(ApiLoadDivGraphFromPath("tiles.bmp", 3, 3, 1, 5, 9, handles, 0), 0);
    EXPECT_EQ(ApiQueryGraphSize(handles[2], &width, &height), 0);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(ApiLoadGraphFromPath("none.bmp", 0), -1);
    EXPECT_EQ(GetApiLockState().locked, 0u);
}

}  // namespace
