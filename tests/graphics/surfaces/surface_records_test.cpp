// Surface records: views and surface data of graphs, shared references of divided graphs,
// where the pixels live (video memory, the retry in system memory, software images), locks,
// lost surfaces with their reload, Z buffers, colour keys, fills and the table limits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/surfaces/surface_test_support.h"

namespace {

using SurfaceRecordsTest = SurfaceFixture;

// Every pixel of a record, row by row, through a lock.
std::vector<uint32_t> ReadPixels(HandleValue data) {
    const SurfaceDataRecord* r = GetSurfaceData(data);
    int32_t pitch = 0;
    void* p = nullptr;
    const PaletteColorFormat* format = nullptr;
    std::vector<uint32_t> out;
    EXPECT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, &format), 0);
    if (p == nullptr || format == nullptr) return out;
    const int bytes = r->software ? MemImgBytesPerPixel(r->image.pixelFormat, r->image.paletted, r->image.alpha)
                                  : format->format.bytes;
    for (int y = 0; y < r->height; ++y) {
        for (int x = 0; x < r->width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, static_cast<uint8_t*>(p) + int64_t{y} * pitch + x * bytes, bytes);
            out.push_back(v);
        }
    }
    UnlockSurfaceData(data, nullptr);
    return out;
}

void WritePixels(HandleValue data, uint32_t seed) {
    const SurfaceDataRecord* r = GetSurfaceData(data);
    int32_t pitch = 0;
    void* p = nullptr;
    const PaletteColorFormat* format = nullptr;
    ASSERT_EQ(LockSurfaceData(data, &pitch, &p, 1, nullptr, &format), 0);
    for (int y = 0; y < r->height; ++y) {
        for (int x = 0; x < r->width; ++x) {
            const uint16_t v = static_cast<uint16_t>(seed + y * 131 + x * 7);
            std::memcpy(static_cast<uint8_t*>(p) + int64_t{y} * pitch + x * 2, &v, 2);
        }
    }
    UnlockSurfaceData(data, nullptr);
}

std::vector<uint32_t> Pattern(int width, int height, uint32_t seed) {
    std::vector<uint32_t> v;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) v.push_back(static_cast<uint16_t>(seed + y * 131 + x * 7));
    }
    return v;
}

uint32_t Placement(plat::DrawSurface* s) {
    plat::SurfaceCaps caps = {};
    s->GetCaps(&caps);
    return caps.caps & (plat::DDSCAPS_VIDEOMEMORY | plat::DDSCAPS_SYSTEMMEMORY);
}

TEST_F(SurfaceRecordsTest, PlainGraphGetsOneViewOverAVideoSurfaceWithTheColorKey) {
    SetColorKeyRGB(255, 0, 255);
    const HandleValue graph = CreateBlankGraph(32, 16, 1);
    ASSERT_GE(graph, 0);
    const GraphRecord* g = GetGraphRecord(graph);
    ASSERT_EQ(g->surfaceCount, 1);
    EXPECT_EQ(g->surfaces[0], 0x28000000);  // kind 5, serial 0, slot 0
    const Surface2DRecord* view = GetSurface2D(g->surfaces[0]);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->owner, graph);
    EXPECT_EQ(view->width, 32);
    EXPECT_EQ(view->surfaceData, 0x38000000);  // kind 7, serial 0, slot 0
    const SurfaceDataRecord* data = GetSurfaceData(view->surfaceData);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->refCount, 1);
    EXPECT_EQ(data->formatNumber, kSurfaceFormatPlain);
    EXPECT_EQ(data->software, 0u);
    EXPECT_EQ(data->softImage, 0);
    EXPECT_EQ(data->drawValid, 1);
    EXPECT_EQ(data->colorKey, 0xFF00FFu);
    ASSERT_NE(data->surface, nullptr);
    EXPECT_EQ(Placement(data->surface), plat::DDSCAPS_VIDEOMEMORY);
    plat::ColorKey key;
    ASSERT_EQ(data->surface->GetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DD_OK);
    EXPECT_EQ(key.low, 0xF81Fu);  // magenta on the 5-6-5 display
    EXPECT_EQ(key.high, 0xF81Fu);

    int32_t pitch = 0;
    void* p = nullptr;
    const PaletteColorFormat* format = nullptr;
    ASSERT_EQ(LockSurfaceData(view->surfaceData, &pitch, &p, 0, nullptr, &format), 0);
    EXPECT_EQ(format->format.maskR, 0xF800u);
    EXPECT_GE(pitch, 64);
    UnlockSurfaceData(view->surfaceData, nullptr);

    EXPECT_EQ(DeleteGraphHandle(graph, 0), 0);
    EXPECT_EQ(GetSurface2DTable().count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
    EXPECT_EQ(plat::LiveSurfaceCount(), liveSurfaces_);
}

TEST_F(SurfaceRecordsTest, AlphaAndSoftwareImageGraphsHoldTheirPixelsInMemImgs) {
    struct Case {
        int alpha, softImageSetting, depthSetting;
        uint32_t format;
        int pixelFormat, bytes;
    } cases[] = {
        {1, 0, 0, kSurfaceFormatSoft16Alpha, MEMIMG_FORMAT_565, 4},
        {0, 1, 0, kSurfaceFormatSoft16, MEMIMG_FORMAT_565, 2},
        {1, 0, 32, kSurfaceFormatSoft32Alpha, MEMIMG_FORMAT_32, 4},
        {0, 1, 32, kSurfaceFormatSoft32, MEMIMG_FORMAT_32, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        SetUseSoftImageGraph(c.softImageSetting);
        GetDrawState().colorDepthSetting = c.depthSetting;
        const HandleValue graph = AllocGraphWithSurface(6, 5, 0, c.alpha, 0);
        ASSERT_GE(graph, 0);
        const SurfaceDataRecord* data = DataOf(graph);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->software, 1u);
        EXPECT_EQ(data->surface, nullptr);
        EXPECT_EQ(data->formatNumber, c.format);
        EXPECT_EQ(data->image.pixelFormat, c.pixelFormat);
        EXPECT_EQ(MemImgBytesPerPixel(data->image.pixelFormat, data->image.paletted, data->image.alpha), c.bytes);
        EXPECT_EQ(plat::LiveSurfaceCount(), liveSurfaces_);
        DeleteGraphHandle(graph, 0);
    }
}

int Yes() { return 1; }

TEST_F(SurfaceRecordsTest, SoftwareScreenHoldsEveryGraphInAMemImgWithoutDirectDraw) {
    static ScreenDriver softwareScreen = kAbsentScreen;
    softwareScreen.isNoDirectDraw = Yes;
    softwareScreen.isScreenSoftwareDrawn = Yes;
    ScreenSlot().Install(softwareScreen);
    SetDirectDrawObject(nullptr);
    const HandleValue graph = CreateBlankGraph(5, 4, 1);
    ASSERT_GE(graph, 0);
    const HandleValue data = DataHandleOf(graph);
    const SurfaceDataRecord* r = GetSurfaceData(data);
    EXPECT_EQ(r->software, 1u);
    EXPECT_EQ(r->formatNumber, kSurfaceFormatSoft16);
    EXPECT_EQ(r->surface, nullptr);
    EXPECT_EQ(RestoreGraphSurface2Ds(GetGraphRecord(graph)), 0);
    ASSERT_EQ(FillGraph(graph, 0, 0, 255, 0), 0);
    EXPECT_EQ(ReadPixels(data), std::vector<uint32_t>(20, 0x001F));
    EXPECT_EQ(SetSurfaceDataZBuffer(data, 1), 0);
    const HandleValue tile = DeriveGraph(1, 1, 2, 2, graph);
    ASSERT_GE(tile, 0);
    EXPECT_EQ(DataHandleOf(tile), data);
    EXPECT_EQ(plat::LiveSurfaceCount(), liveSurfaces_);
    SetDirectDrawObject(dd_);
}

TEST_F(SurfaceRecordsTest, DividedGraphsShareOneRecordUntilTheLastTileGoes) {
    const HandleValue parent = CreateBlankGraph(64, 48, 1);
    ASSERT_GE(parent, 0);
    const HandleValue data = DataHandleOf(parent);
    std::vector<HandleValue> tiles;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            tiles.push_back(DeriveGraph(column * 16, row * 16, 16, 16, parent));
            ASSERT_GE(tiles.back(), 0);
        }
    }
    EXPECT_EQ(GetSurfaceDataTable().count, 1);
    EXPECT_EQ(GetSurfaceData(data)->refCount, 13);
    const Surface2DRecord* tile6 = GetSurface2D(GetGraphRecord(tiles[6])->surfaces[0]);
    EXPECT_EQ(tile6->surfaceData, data);
    EXPECT_EQ(tile6->sourceX, 32);
    EXPECT_EQ(tile6->sourceY, 16);

    ASSERT_EQ(DeleteGraphHandle(parent, 0), 0);
    EXPECT_EQ(GetSurfaceData(data)->refCount, 12);
    for (size_t i = 0; i + 1 < tiles.size(); ++i) DeleteGraphHandle(tiles[i], 0);
    ASSERT_NE(GetSurfaceData(data), nullptr);
    EXPECT_EQ(GetSurfaceData(data)->refCount, 1);
    EXPECT_NE(plat::LiveSurfaceCount(), liveSurfaces_);
    DeleteGraphHandle(tiles.back(), 0);
    EXPECT_EQ(GetSurfaceData(data), nullptr);
    EXPECT_EQ(plat::LiveSurfaceCount(), liveSurfaces_);
}

TEST_F(SurfaceRecordsTest, ViewDerivedFromADerivedViewLiesAtBothOffsets) {
    const HandleValue parent = CreateBlankGraph(64, 64, 1);
    const HandleValue middle = DeriveGraph(16, 8, 32, 32, parent);
    const HandleValue inner = DeriveGraph(4, 2, 8, 8, middle);
    ASSERT_GE(inner, 0);
    const Surface2DRecord* view = GetSurface2D(GetGraphRecord(inner)->surfaces[0]);
    EXPECT_EQ(view->sourceX, 20);
    EXPECT_EQ(view->sourceY, 10);
    EXPECT_EQ(GetSurfaceData(view->surfaceData)->refCount, 3);
}

TEST_F(SurfaceRecordsTest, NestedLocksOfOneRectangleShareThePointerAndUnlockAtTheOutermost) {
    const HandleValue graph = CreateBlankGraph(16, 8, 1);
    const HandleValue data = DataHandleOf(graph);
    plat::DrawSurface* surface = GetSurfaceData(data)->surface;
    const RECT r = {2, 1, 10, 5};
    int32_t pitch1 = 0, pitch2 = 0;
    void *p1 = nullptr, *p2 = nullptr;
    ASSERT_EQ(LockSurfaceData(data, &pitch1, &p1, 1, &r, nullptr), 0);
    ASSERT_EQ(LockSurfaceData(data, &pitch2, &p2, 1, &r, nullptr), -2);
    EXPECT_EQ(p1, p2);
    EXPECT_EQ(pitch1, pitch2);

    // Another rectangle would get a pointer to the wrong pixels: refused.
    NewLogText();
    const RECT other = {0, 0, 4, 4};
    void* p3 = nullptr;
    int32_t pitch3 = 0;
    EXPECT_EQ(LockSurfaceData(data, &pitch3, &p3, 1, &other, nullptr), -1);
    EXPECT_EQ(LockSurfaceData(data, &pitch3, &p3, 1, nullptr, nullptr), -1);
    EXPECT_NE(NewLogText().find("ロック中のグラフィックを別の矩形でロックしようとしました"), std::string::npos);
    EXPECT_EQ(GetSurfaceData(data)->lockCount, 2);

    plat::SurfaceDesc d;
    ASSERT_EQ(UnlockSurfaceData(data, &r), 0);
    EXPECT_EQ(surface->Lock(nullptr, &d, 0), plat::DDERR_SURFACEBUSY);
    ASSERT_EQ(UnlockSurfaceData(data, &r), 0);
    ASSERT_EQ(surface->Lock(nullptr, &d, 0), plat::DD_OK);
    surface->Unlock(nullptr);
    EXPECT_EQ(UnlockSurfaceData(data, &r), -1);

    // Rectangles outside the record are refused before anything is locked.
    const RECT outside = {8, 4, 17, 8};
    EXPECT_EQ(LockSurfaceData(data, &pitch3, &p3, 0, &outside, nullptr), -1);
    EXPECT_EQ(GetSurfaceData(data)->lockCount, 0);

    // A software image's nested lock behaves the same.
    const HandleValue soft = AllocGraphWithSurface(16, 8, 0, 1, 0);
    const HandleValue softData = DataHandleOf(soft);
    const PaletteColorFormat* format = nullptr;
    ASSERT_EQ(LockSurfaceData(softData, &pitch1, &p1, 0, &r, &format), 0);
    EXPECT_EQ(format->format.maskA, 0xFF0000u);
    const SurfaceDataRecord* sr = GetSurfaceData(softData);
    EXPECT_EQ(p1, sr->image.pixels + 1 * sr->image.pitch + 2 * 4);
    EXPECT_EQ(LockSurfaceData(softData, &pitch2, &p2, 0, &r, nullptr), -2);
    EXPECT_EQ(UnlockSurfaceData(softData, nullptr), 0);
    EXPECT_EQ(UnlockSurfaceData(softData, nullptr), 0);
    EXPECT_EQ(UnlockSurfaceData(softData, nullptr), -1);
}

TEST_F(SurfaceRecordsTest, PlainSurfaceRetriesInSystemMemoryWhenVideoMemoryIsSpent) {
    plat::SetVideoMemoryBudget(0);
    plat::StartDDrawCallLog();
    const HandleValue graph = CreateBlankGraph(32, 32, 1);
    ASSERT_GE(graph, 0);
    std::vector<plat::DDrawCall> creates;
    for (const plat::DDrawCall& call : plat::TakeDDrawCallLog()) {
        if (std::strcmp(call.op, "CreateSurface") == 0) creates.push_back(call);
    }
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].caps, 0x6040u);
    EXPECT_EQ(creates[0].result, plat::DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(creates[1].caps, 0x840u);
    EXPECT_EQ(creates[1].result, plat::DD_OK);
    const SurfaceDataRecord* data = DataOf(graph);
    EXPECT_EQ(Placement(data->surface), plat::DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(data->softImage, 1);  // not in video memory
    EXPECT_EQ(data->software, 0u);  // still a surface
    plat::StopDDrawCallLog();

    // A graph wider than the screen goes to system memory at once.
    plat::SetVideoMemoryBudget(plat::kDefaultVideoMemoryBudget);
    plat::StartDDrawCallLog();
    ASSERT_GE(CreateBlankGraph(641, 2, 1), 0);
    const std::vector<plat::DDrawCall> wide = plat::TakeDDrawCallLog();
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide[0].caps, 0x840u);
    plat::StopDDrawCallLog();

    // Both tries failing fails the graph and leaves nothing behind.
    const int32_t graphs = GetGraphicsState().graphs.count;
    NewLogText();
    plat::FailNextSurfaceCreates(2);
    EXPECT_EQ(CreateBlankGraph(8, 8, 1), -1);
    const std::string log = NewLogText();
    EXPECT_NE(log.find("標準サーフェスの作成に失敗しました"), std::string::npos);
    EXPECT_NE(log.find("グラフィックの作成に失敗しました"), std::string::npos);
    EXPECT_EQ(GetGraphicsState().graphs.count, graphs);
    EXPECT_EQ(GetSurface2DTable().count, graphs);
    EXPECT_EQ(GetSurfaceDataTable().count, graphs);
}

// The reload callback of the lost-surface test: refills every lost graph with its pattern.
int gReloads = 0;
int ReloadLostGraphs() {
    ++gReloads;
    GraphHandleTable& table = GetGraphicsState().graphs;
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        GraphRecord* g = table.slots[slot];
        if (g == nullptr || !g->lost) continue;
        const Surface2DRecord* view = GetSurface2D(g->surfaces[0]);
        WritePixels(view->surfaceData, 1000);
        g->lost = 0;
    }
    return 0;
}

TEST_F(SurfaceRecordsTest, LostSurfaceIsRestoredMarkedLostAndReloadedByTheCallback) {
    const HandleValue graph = CreateBlankGraph(8, 4, 1);
    const HandleValue soft = AllocGraphWithSurface(4, 4, 0, 1, 0);
    const HandleValue data = DataHandleOf(graph);
    WritePixels(data, 1000);
    ASSERT_EQ(ReadPixels(data), Pattern(8, 4, 1000));
    gReloads = 0;
    InstallGraphReloadHandler(ReloadLostGraphs);

    EXPECT_EQ(plat::LoseVideoMemorySurfaces(), 1);
    int32_t pitch;
    void* p;
    EXPECT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, nullptr), -1);

    // The graph layer's restore: the memory comes back poisoned and the graph waits for its
    // reload; the software image lost nothing.
    RestoreLostGraphSurfaces();
    EXPECT_EQ(GetGraphRecord(graph)->lost, 1);
    EXPECT_EQ(GetGraphRecord(soft)->lost, 0);
    EXPECT_EQ(ReadPixels(data), std::vector<uint32_t>(32, plat::kRestoredSurfacePoisonByte * 0x0101u));
    EXPECT_EQ(RestoreLostSurface2Ds(), 0);  // nothing is lost any more

    FlagGraphsLostAndRestore();
    EXPECT_EQ(gReloads, 1);
    EXPECT_EQ(GetGraphRecord(graph)->lost, 0);
    EXPECT_EQ(ReadPixels(data), Pattern(8, 4, 1000));

    // The table-wide restore reports a loss as -1.
    plat::LoseVideoMemorySurfaces();
    EXPECT_EQ(RestoreLostSurface2Ds(), -1);
    EXPECT_EQ(GetSurfaceData(data)->surface->IsLost(), plat::DD_OK);
}

TEST_F(SurfaceRecordsTest, ZBuffersFollowTheWishAndSurviveRecreation) {
    const HandleValue graph = CreateBlankGraph(16, 8, 1);
    const HandleValue data = DataHandleOf(graph);
    ASSERT_EQ(SetSurfaceDataZBuffer(data, 1), 0);
    SurfaceDataRecord* r = GetSurfaceData(data);
    ASSERT_NE(r->zSurface, nullptr);
    EXPECT_EQ(r->zBufferPresent, 1u);
    plat::SurfaceCaps wanted = {plat::DDSCAPS_ZBUFFER, 0};
    plat::DrawSurface* attached = nullptr;
    ASSERT_EQ(r->surface->GetAttachedSurface(&wanted, &attached), plat::DD_OK);
    EXPECT_EQ(attached, r->zSurface);
    attached->Release();
    EXPECT_EQ(SetSurfaceDataZBuffer(data, 1), 0);  // already so

    // Released and made again: the Z buffer comes back with it.
    ReleaseSurfaceDataSurfaces(data);
    EXPECT_EQ(r->surface, nullptr);
    EXPECT_EQ(r->zSurface, nullptr);
    ASSERT_EQ(CreateSurfaceDataSurface(data), 0);
    EXPECT_NE(r->zSurface, nullptr);
    ASSERT_EQ(SetSurfaceDataZBuffer(data, 0), 0);
    EXPECT_EQ(r->zSurface, nullptr);
    EXPECT_EQ(r->zBufferPresent, 0u);

    // Software records take a raw 16-bit image.
    const HandleValue soft = AllocGraphWithSurface(5, 3, 0, 1, 0);
    SurfaceDataRecord* sr = DataOf(soft);
    ASSERT_EQ(SetSurfaceDataZBuffer(DataHandleOf(soft), 1), 0);
    EXPECT_EQ(sr->zImage.pixelFormat, MEMIMG_FORMAT_RAW16);
    EXPECT_TRUE(MemImgHasPixels(&sr->zImage));
    ASSERT_EQ(SetSurfaceDataZBuffer(DataHandleOf(soft), 0), 0);
    EXPECT_FALSE(MemImgHasPixels(&sr->zImage));

    // A failed Z surface is logged and leaves none.
    NewLogText();
    plat::FailNextSurfaceCreates(1);
    EXPECT_EQ(SetSurfaceDataZBuffer(data, 1), -1);
    EXPECT_NE(NewLogText().find("Ｚバッファの作成に失敗しました"), std::string::npos);
    EXPECT_EQ(r->zSurface, nullptr);
    EXPECT_EQ(r->zBufferPresent, 0u);
}

// A Direct3D back end stand-in offering one 4-4-4-4 texture format (and no Z-buffer format of
// its own).
PaletteColorFormat gTextureFormat;
int ChooseTexture(int, int, int, int) { return 2; }
int TextureFormat(int number, SurfacePixelFormat* pixelFormat, const PaletteColorFormat** format) {
    if (number != 2) return -1;
    MakeRgbPixelFormat(pixelFormat, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    pixelFormat->flags |= plat::DDPF_ALPHAPIXELS;
    BuildColorFormat(&gTextureFormat, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    *format = &gTextureFormat;
    return 0;
}
int NoZBufferFormat(SurfacePixelFormat*) { return -1; }
const DeviceFormatDriver kOneTextureFormat = {
    .chooseTextureFormat = ChooseTexture,
    .getTextureFormat = TextureFormat,
    .getZBufferFormat = NoZBufferFormat,
};

TEST_F(SurfaceRecordsTest, TexturesTakeTheDeviceFormatAndAreKeyedWithAlphaBits) {
    GraphFlagBytes flags = {};
    flags.is3D = 1;
    flags.colorDepth = 16;
    NewLogText();
    EXPECT_EQ(AddSurfaceData(1, 16, 16, 0x00FF00, flags), -1);  // no Direct3D back end
    const std::string log = NewLogText();
    EXPECT_NE(log.find("テクスチャサーフェスの作成に失敗しました"), std::string::npos);
    EXPECT_NE(log.find("DrawValid:0  AlphaChFlag0  AlphaTestFlag:0  ColorBitDepth:16"), std::string::npos);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);

    DeviceFormatSlot().Install(kOneTextureFormat);
    const HandleValue managed = AddSurfaceData(1, 16, 16, 0x00FF00, flags);
    ASSERT_GE(managed, 0);
    SurfaceDataRecord* r = GetSurfaceData(managed);
    EXPECT_EQ(r->formatNumber, 2u);
    plat::SurfaceCaps caps;
    r->surface->GetCaps(&caps);
    EXPECT_EQ(caps.caps2, plat::DDSCAPS2_TEXTUREMANAGE);
    EXPECT_TRUE(caps.caps & plat::DDSCAPS_TEXTURE);
    plat::ColorKey key;
    ASSERT_EQ(r->surface->GetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DD_OK);
    EXPECT_EQ(key.low, 0xF0F0u);  // green, with the alpha bits set
    // Not draw valid: no Z buffer.
    EXPECT_EQ(SetSurfaceDataZBuffer(managed, 1), -1);
    // Filled in the texture format.
    ASSERT_EQ(FillSurfaceData(managed, 255, 0, 0, 128), 0);
    EXPECT_EQ(ReadPixels(managed), std::vector<uint32_t>(256, 0x8F00));

    flags.drawValid = 1;
    const HandleValue target = AddSurfaceData(1, 16, 16, 0, flags);
    ASSERT_GE(target, 0);
    GetSurfaceData(target)->surface->GetCaps(&caps);
    EXPECT_EQ(caps.caps2, 0u);
    EXPECT_TRUE(caps.caps & plat::DDSCAPS_3DDEVICE);
    EXPECT_EQ(ReadPixels(target), std::vector<uint32_t>(256, 0));
    DeleteSurfaceData(managed);
    DeleteSurfaceData(target);
}

TEST_F(SurfaceRecordsTest, FillWritesSurfacesAndSoftwareImagesAlike) {
    const HandleValue plain = CreateBlankGraph(4, 3, 1);
    ASSERT_EQ(FillGraph(plain, 255, 0, 0, 255), 0);
    EXPECT_EQ(ReadPixels(DataHandleOf(plain)), std::vector<uint32_t>(12, 0xF800));

    // Software images are filled too, in their own format.
    const HandleValue soft = AllocGraphWithSurface(4, 3, 0, 1, 0);
    ASSERT_EQ(FillGraph(soft, 0, 255, 0, 0x80), 0);
    EXPECT_EQ(ReadPixels(DataHandleOf(soft)), std::vector<uint32_t>(12, 0xFF8007E0));

    // A paletted software image takes the colour's palette entry.
    GraphFlagBytes flags = {};
    flags.softImage = 1;
    flags.paletted = 1;
    flags.colorDepth = 32;
    const HandleValue paletted = AddSurfaceData(1, 3, 2, 0, flags);
    ASSERT_GE(paletted, 0);
    const SurfaceDataRecord* r = GetSurfaceData(paletted);
    ASSERT_EQ(FillSurfaceData(paletted, 10, 20, 30, 255), 0);
    ASSERT_EQ(FillSurfaceData(paletted, 1, 2, 3, 255), 0);
    EXPECT_EQ(r->image.paletteCount, 2);
    EXPECT_EQ(static_cast<const uint32_t*>(r->image.palette)[0], 0x0A141Eu);
    EXPECT_EQ(static_cast<const uint32_t*>(r->image.palette)[1], 0x010203u);
    EXPECT_EQ(ReadPixels(paletted), std::vector<uint32_t>(6, 1));
    ASSERT_EQ(FillSurfaceData(paletted, 10, 20, 30, 255), 0);
    EXPECT_EQ(ReadPixels(paletted), std::vector<uint32_t>(6, 0));
    DeleteSurfaceData(paletted);

    // A locked surface cannot be filled.
    int32_t pitch;
    void* p;
    const HandleValue data = DataHandleOf(plain);
    ASSERT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, nullptr), 0);
    EXPECT_EQ(FillGraph(plain, 0, 0, 0, 0), -1);
    UnlockSurfaceData(data, nullptr);
}

TEST_F(SurfaceRecordsTest, TableLimitsAndAMissingScreenAreRefusedWithTheirLogLines) {
    GraphFlagBytes flags = {};
    flags.colorDepth = 16;
    NewLogText();
    SurfaceDataTable& data = GetSurfaceDataTable();
    const int32_t savedData = data.count;
    data.count = kMaxSurfaceDataHandles;
    EXPECT_EQ(AddSurfaceData(1, 4, 4, 0, flags), -1);
    data.count = savedData;
    EXPECT_NE(NewLogText().find("サーフェスのデータ数が許容量を越えました。"), std::string::npos);

    Surface2DTable& views = GetSurface2DTable();
    const int32_t savedViews = views.count;
    views.count = kMaxSurface2DHandles;
    EXPECT_EQ(AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags), -1);
    views.count = savedViews;
    EXPECT_NE(NewLogText().find("２Ｄグラフィックの量が許容量を越えました"), std::string::npos);

    // A screen that has opened neither DirectDraw nor software-only mode.
    static ScreenDriver unopenedScreen = kAbsentScreen;
    unopenedScreen.isNoDirectDraw = [] { return 0; };
    unopenedScreen.isScreenSoftwareDrawn = [] { return 0; };
    ScreenSlot().Install(unopenedScreen);
    SetDirectDrawObject(nullptr);
    EXPECT_EQ(AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags), -1);
    EXPECT_EQ(CreateBlankGraph(4, 4, 1), -1);
    SetDirectDrawObject(dd_);
    ScreenSlot().Reset();
    EXPECT_NE(NewLogText().find("ＺＮライブラリが初期化されていません"), std::string::npos);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
    EXPECT_EQ(GetSurface2DTable().count, 0);
}

TEST_F(SurfaceRecordsTest, SlotsSerialsBoundsAndDeleteFlags) {
    GraphFlagBytes flags = {};
    flags.colorDepth = 16;
    const HandleValue a = AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags);
    const HandleValue b = AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags);
    const HandleValue c = AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags);
    EXPECT_EQ(GetHandleSlot(c), 2);
    EXPECT_EQ(GetSurface2DTable().usedBound, 3);
    int32_t flag = 5, dataFlag = 5;
    EXPECT_EQ(SetSurface2DDeleteFlagPtr(b, &flag), 0);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(SetSurface2DDeleteFlagPtr(-1, &flag), 0);
    EXPECT_EQ(SetSurfaceDataDeleteFlagPtr(GetSurface2D(b)->surfaceData, &dataFlag), 0);

    EXPECT_EQ(DeleteSurface2D(b), 0);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(dataFlag, 1);
    EXPECT_EQ(GetSurface2D(b), nullptr);
    EXPECT_EQ(DeleteSurface2D(b), 0);  // invalid: nothing happens
    EXPECT_EQ(GetSurface2DTable().usedBound, 3);
    EXPECT_EQ(DeleteSurface2D(c), 0);
    EXPECT_EQ(GetSurface2DTable().usedBound, 1);  // past the free slot below
    // New views take the bound while it is below the table size.
    const HandleValue d = AddSurface2D(4, 4, 0, 0, -1, nullptr, 0, 0, flags);
    EXPECT_EQ(GetHandleSlot(d), 1);
    EXPECT_NE(d, b);  // a new serial
    EXPECT_EQ(AddSurfaceDataRef(-1), -1);
    EXPECT_EQ(ReleaseSurfaceDataRef(0x38001234), -1);
    DeleteAllSurface2D();
    EXPECT_EQ(GetSurface2DTable().count, 0);
    EXPECT_EQ(GetSurface2DTable().usedBound, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
    (void)a;
}

}  // namespace
