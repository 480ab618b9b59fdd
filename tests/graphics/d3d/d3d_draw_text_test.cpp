// Fonts made while the Direct3D device draws: their glyphs live in a texture cache graph, which
// is made again when it is deleted from outside, a font falls back to the software cache when
// the texture cannot be had, and the Direct3D string drawer's scales and refusals.
#include <gtest/gtest.h>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "tests/graphics/d3d/d3d_draw_test_support.h"

namespace {

class D3DDrawTextTest : public Direct3DDrawFixture {
protected:
    void SetUp() override {
        Direct3DDrawFixture::SetUp();
        Start(true);
    }

    // The back screen under a white line of text drawn with the font at (10, 30) on black.
    static std::vector<uint32_t> DrawLine(HandleValue font) {
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(DrawTextWithFont(10, 30, "Kanji?", MakeScreenColor(255, 255, 255), font, 0, 0),
                  0);
        EXPECT_EQ(EndCurrentDeviceScene(), 0);
        return BackColours(RECT{0, 20, 160, 70});
    }
};

TEST_F(D3DDrawTextTest, TextureCacheGraphIsMadeAgainAfterItWasDeletedFromOutside) {
    const HandleValue font = CreateFontToHandle(nullptr, 20, 6, 0, -1, -1, 0, -1, -1);
    FontRecord* record = GetFontRecord(font);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->textureCache, 1u);
    EXPECT_EQ(record->softBitmap, nullptr);
    EXPECT_EQ(record->drawScreen, kNoHandle);
    const GraphRecord* cache = GetGraphRecord(record->cacheGraph);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->flags.is3D, 1);
    EXPECT_EQ(cache->width, record->cacheWidth);
    EXPECT_EQ(record->cacheRows, record->cacheHeight / record->cell);

    const std::vector<uint32_t> first = DrawLine(font);
    int lit = 0;
    for (uint32_t c : first) lit += c == 0xFFFFFF ? 1 : 0;
    EXPECT_GT(lit, 30);

    ASSERT_EQ(DeleteGraphHandle(record->cacheGraph, 0), 0);
    EXPECT_EQ(record->cacheGraphLost, 1);
    EXPECT_EQ(DrawLine(font), first);
    EXPECT_EQ(record->cacheGraphLost, 0);
    EXPECT_NE(GetGraphRecord(record->cacheGraph), nullptr);

    // Deleting the font takes its graphs with it.
    const HandleValue cacheGraph = record->cacheGraph;
    ASSERT_EQ(DestroyFont(font), 0);
    EXPECT_EQ(GetGraphRecord(cacheGraph), nullptr);
}

TEST_F(D3DDrawTextTest, EdgeFontKeepsItsEdgesInASecondHalfOfTheCache) {
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 1, -1, 2, 0, -1, -1);
    const FontRecord* record = GetFontRecord(font);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->textureCache, 1u);
    const GraphRecord* cache = GetGraphRecord(record->cacheGraph);
    const GraphRecord* edge = GetGraphRecord(record->edgeGraph);
    ASSERT_NE(cache, nullptr);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(cache->width, 2 * record->cacheWidth);
    EXPECT_EQ(edge->width, record->cacheWidth);
    EXPECT_EQ(record->glyphImage.width, 2 * record->cell);
    EXPECT_EQ(record->glyphImage.height, record->cell + 2 * record->edgeSize);
}

TEST_F(D3DDrawTextTest, FontFallsBackToTheSoftwareCacheWhenNoTextureCanBeMade) {
    plat::FailNextTextureCreates(64);
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 0, -1, -1, 0, -1, -1);
    plat::FailNextTextureCreates(0);
    const FontRecord* record = GetFontRecord(font);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->textureCache, 0u);
    EXPECT_NE(record->softBitmap, nullptr);
    EXPECT_EQ(record->cacheGraph, kNoHandle);
    EXPECT_TRUE(LogHas("テクスチャ文字キャッシュの作成に失敗しました"));
    // It draws through the 2D text path.
    int lit = 0;
    for (uint32_t c : DrawLine(font)) lit += c == 0xFFFFFF ? 1 : 0;
    EXPECT_GT(lit, 30);
}

TEST_F(D3DDrawTextTest, ScaledTextureTextAdvancesByTheScaleAndSuppressionRefuses) {
    const HandleValue font = GetDefaultFontHandle();
    ASSERT_EQ(GetFontRecord(font)->textureCache, 1u);
    const RECT area = GetDrawState().drawArea;
    const int plain = DrawCachedString(1, 10, 10, 0, 1.0, 1.0, "abc", MakeScreenColor(255, 0, 0),
                                       nullptr, &area, 1, font, 0, -1, 0, nullptr);
    const int doubled = DrawCachedString(1, 10, 40, 1, 2.0, 2.0, "abc", MakeScreenColor(255, 0, 0),
                                         nullptr, &area, 1, font, 0, -1, 0, nullptr);
    EXPECT_GT(plain, 0);
    EXPECT_EQ(doubled, 2 * plain);
    // The bright and the blend graph come back as they were.
    EXPECT_EQ(GetDrawState().bright, kBrightWhite);

    GetDevice3DState().drawingSuppressed = 1;
    EXPECT_EQ(DrawStringWithFont3D(10, 10, "abc", 0, font, 0, 0), -1);
    GetDevice3DState().drawingSuppressed = 0;
    EXPECT_EQ(DrawStringWithFont3D(10, 10, "abc", 0, font, 0, 0), 0);
}

}  // namespace
