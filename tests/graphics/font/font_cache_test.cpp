// Fonts and their glyph cache: the cell and entry arithmetic, font handles and their limit,
// the normalised settings, spaces, the rotation of the cache, strings longer than one pass,
// glyphs that do not fit their cell, the edge stamps, and the re-creation in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/tracked_memory.h"
#include "graphics/font/glyph_cell_write.h"
#include "graphics/surfaces/surface_2d.h"
#include "platform/font/gdi_font.h"
#include "tests/graphics/font/font_test_support.h"

namespace {

using FontCacheTest = FontFixture;

// The back end's metrics of the default face at a size and weight.
plat::TextMetric DefaultFaceMetrics(int32_t size, int32_t thickness) {
    plat::Font* font = plat::CreateFontA(size, 0, 0, 0, thickness * 100, 0, 0, 0,
                                         plat::SHIFTJIS_CHARSET, 0, 0, plat::NONANTIALIASED_QUALITY,
                                         plat::FIXED_PITCH, nullptr);
    EXPECT_NE(font, nullptr);
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    plat::Font* old = plat::SelectObject(dc, font);
    plat::TextMetric metrics{};
    EXPECT_TRUE(plat::GetTextMetricsA(dc, &metrics));
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    plat::DeleteObject(font);
    return metrics;
}

TEST(FontCacheArithmetic, CellLineHeightAndEntryCounts) {
    struct Case {
        int32_t maxWidth, textHeight;
        uint32_t type;
        int32_t edge, line, cell;
    };
    const Case cases[] = {
        {16, 16, kFontTypeNormal, 1, 16, 24},     // 18 rounded up to 24
        {14, 16, kFontTypeNormal, 1, 16, 16},     // 16 already a multiple of 8
        {14, 17, kFontTypeNormal, 1, 18, 18},     // odd height made even; the cell follows it
        {14, 16, kFontTypeEdge, 1, 18, 24},       // 14 + 2 + 2 = 18 -> 24
        {14, 16, kFontTypeAntialiasEdge, 3, 22, 24},
        {8, 40, kFontTypeNormal, 1, 40, 40},      // the cell is at least the line height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxWidth * 1000 + c.textHeight);
        const int32_t line = FontLineHeight(c.textHeight, c.type, c.edge);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(FontCellSide(c.maxWidth, line, c.type, c.edge), c.cell);
    }
    EXPECT_EQ(SoftwareCacheEntries(16, 0), 1280);
    EXPECT_EQ(SoftwareCacheEntries(24, 0), 568);
    EXPECT_EQ(SoftwareCacheEntries(200, 0), 20);   // at least 20
    EXPECT_EQ(SoftwareCacheEntries(8, 0), 2024);   // at most 2024
    EXPECT_EQ(SoftwareCacheEntries(16, 100), 100);
    EXPECT_EQ(SoftwareCacheEntries(16, 5000), 2024);
}

TEST(FontCacheArithmetic, TextureCacheGrowsUntilTenCellsFit) {
    // 512 x 512 holds 2 x 2 cells of 200; 1024 x 512 holds (512 / 200) x (1024 / 200) = 10.
    const TextureCacheLayout big = ComputeTextureCacheLayout(200, 0);
    EXPECT_EQ(big.width, 1024);
    EXPECT_EQ(big.height, 512);
    EXPECT_EQ(big.entryCount, 10);
    EXPECT_EQ(big.rows, 2);
    const TextureCacheLayout small = ComputeTextureCacheLayout(16, 0);
    EXPECT_EQ(small.width, 512);
    EXPECT_EQ(small.entryCount, 1024);
    EXPECT_EQ(small.rows, 32);
    // 100 asked: side 16 x (10 + 1) = 176 -> a 256 texture of 16 x 16 cells.
    const TextureCacheLayout asked = ComputeTextureCacheLayout(16, 100);
    EXPECT_EQ(asked.width, 256);
    EXPECT_EQ(asked.entryCount, 256);
    // A tiny cell: capped at 2024 entries.
    EXPECT_EQ(ComputeTextureCacheLayout(8, 0).entryCount, 2024);
}

TEST_F(FontCacheTest, DefaultSizedFontHasTheCellAndEntriesOfItsMetrics) {
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 0, -1, -1, 0, -1, -1);
    ASSERT_GE(font, 0);
    const FontRecord* r = GetFontRecord(font);
    ASSERT_NE(r, nullptr);
    const plat::TextMetric m = DefaultFaceMetrics(16, 6);
    const int32_t line = m.height + (m.height & 1);
    const int32_t cell = std::max((m.maxCharWidth + 2 + 7) / 8 * 8, line);
    EXPECT_EQ(r->lineHeight, line);
    EXPECT_EQ(r->cell, cell);
    EXPECT_EQ(r->entryCount, std::clamp(327680 / (cell * cell), 20, 2024));
    EXPECT_EQ(r->softBits, 1u);
    EXPECT_EQ(r->softPitch, static_cast<uint32_t>((cell + 7) / 8));
    EXPECT_EQ(r->cacheHeight, r->entryCount * cell);
    EXPECT_EQ(r->textureCache, 0u);
    EXPECT_EQ(r->entries[r->entryCount].cellIndex, -1);
    EXPECT_EQ(GetFontSize(font), 16);
    EXPECT_EQ(DestroyFont(font), 0);
    EXPECT_EQ(IsValidFontHandle(font), 0);
    EXPECT_EQ(DestroyFont(font), -1);
}

TEST_F(FontCacheTest, SettingsAreNormalisedAndBadOnesRefused) {
    const HandleValue wideEdge = CreateFontToHandle("", 16, 6, 0, -1, 2, 0, -1, -1);
    ASSERT_GE(wideEdge, 0);
    EXPECT_EQ(GetFontRecord(wideEdge)->type, kFontTypeEdge);
    EXPECT_EQ(GetFontRecord(wideEdge)->edgeSize, 2);
    EXPECT_EQ(GetFontRecord(wideEdge)->softBits, 8u);
    const HandleValue defaults = CreateFontToHandle(nullptr, -1, -1, -1, -1, -1, 0, -1, -1);
    ASSERT_GE(defaults, 0);
    const FontRecord* r = GetFontRecord(defaults);
    EXPECT_EQ(r->type, kFontTypeNormal);
    EXPECT_EQ(r->edgeSize, 1);
    EXPECT_EQ(r->size, 16);
    EXPECT_EQ(r->thickness, 6);
    EXPECT_EQ(r->charSet, 1);

    NewLogText();
    EXPECT_EQ(CreateFontToHandle(nullptr, 0, 6, 0, -1, -1, 0, -1, -1), -1);
    EXPECT_EQ(CreateFontToHandle(nullptr, 16, 6, 7, -1, -1, 0, -1, -1), -1);
    EXPECT_EQ(CreateFontToHandle(nullptr, 16, 6, 0, 5, -1, 0, -1, -1), -1);
    EXPECT_NE(NewLogText().find("フォントの作成に不正な値が渡されました"), std::string::npos);
}

TEST_F(FontCacheTest, TheFortyFirstFontIsRefusedWithTheLimitLine) {
    // Start-up made the default font: 39 more fill the table.
    ASSERT_TRUE(IsValidFontHandle(GetDefaultFontHandle()));
    std::vector<HandleValue> fonts;
    for (int i = 0; i < 39; ++i) {
        fonts.push_back(CreateFontToHandle(nullptr, 8, 4, 0, -1, -1, 0, -1, -1));
        ASSERT_GE(fonts.back(), 0) << i;
    }
    NewLogText();
    EXPECT_EQ(CreateFontToHandle(nullptr, 8, 4, 0, -1, -1, 0, -1, -1), -1);
    EXPECT_NE(NewLogText().find("作成できるフォントハンドル数 40 の限界を超えました"),
              std::string::npos);
    // A freed slot is taken again, with a new serial: the old handle stays refused.
    ASSERT_EQ(DestroyFont(fonts[5]), 0);
    const HandleValue again = CreateFontToHandle(nullptr, 8, 4, 0, -1, -1, 0, -1, -1);
    EXPECT_GE(again, 0);
    EXPECT_EQ(GetHandleSlot(again), GetHandleSlot(fonts[5]));
    EXPECT_EQ(IsValidFontHandle(fonts[5]), 0);
}

TEST_F(FontCacheTest, SpacesTakeAnEntryButHaveNoBitmap) {
    for (int32_t type : {0, 1}) {
        SCOPED_TRACE(type);
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, type, -1, -1, 0, -1, -1);
        ASSERT_GE(font, 0);
        const FontRecord* r = GetFontRecord(font);
        int32_t count = 0, used = 0;
        ASSERT_EQ(CacheStringGlyphs(font, " \x81\x40", -1, nullptr, &count, &used), 0);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(used, 3);
        const int32_t e = type == 1 ? 1 : 0;
        for (uint16_t key : {uint16_t{0x20}, uint16_t{0x4081}}) {
            ASSERT_EQ(r->codeMap[key].cached, 1u);
            const GlyphCacheEntry* entry = r->codeMap[key].entry;
            EXPECT_EQ(entry->width, 2 * e);
            EXPECT_EQ(entry->height, 2 * e);
            EXPECT_GT(entry->advance, 2 * e);
        }
        // The full-width space advances further than the half-width one.
        EXPECT_GT(r->codeMap[0x4081].entry->advance, r->codeMap[0x20].entry->advance);
        const size_t bytes = static_cast<size_t>(2 * r->cell) * r->softPitch;
        EXPECT_TRUE(std::all_of(r->softBitmap, r->softBitmap + bytes, [](uint8_t b) { return b == 0; }));
        DestroyFont(font);
    }
}

TEST_F(FontCacheTest, AfterEntryCountNewCharactersTheOldestEntryIsReused) {
    // A large font: few entries.
    const HandleValue font = CreateFontToHandle(nullptr, 64, 6, 0, -1, -1, 0, -1, -1);
    ASSERT_GE(font, 0);
    const FontRecord* r = GetFontRecord(font);
    const int32_t n = r->entryCount;
    ASSERT_LT(n, 90);
    ASSERT_EQ(CacheStringGlyphs(font, "!", -1, nullptr, nullptr, nullptr), 0);
    const GlyphCacheEntry* first = r->codeMap['!'].entry;
    ASSERT_EQ(first, &r->entries[0]);
    // n - 1 more characters fill the cache; '!' is still there.
    std::string more;
    for (int32_t i = 0; i < n; ++i) more += static_cast<char>('#' + i);
    ASSERT_EQ(CacheStringGlyphs(font, more.c_str(), n - 1, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(r->codeMap['!'].cached, 1u);
    // The next new one takes entry 0: '!' leaves the cache.
    ASSERT_EQ(CacheStringGlyphs(font, more.c_str() + n - 1, 1, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(r->codeMap['!'].cached, 0u);
    EXPECT_EQ(r->codeMap[static_cast<uint8_t>(more[n - 1])].entry, &r->entries[0]);
    EXPECT_EQ(r->entries[0].mapSlot, &r->codeMap[static_cast<uint8_t>(more[n - 1])]);
    EXPECT_EQ(r->nextEntry, 1);
}

TEST_F(FontCacheTest, OnePassCachesARepeatedCharacterOnceAndNeverEvictsItsOwnCharacters) {
    const HandleValue font = CreateFontToHandle(nullptr, 64, 6, 0, -1, -1, 0, -1, -1);
    ASSERT_GE(font, 0);
    const FontRecord* r = GetFontRecord(font);
    int32_t count = 0, used = 0;
    ASSERT_EQ(CacheStringGlyphs(font, "ABAB", -1, nullptr, &count, &used), 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(r->nextEntry, 2);

    // More new characters than the cache holds: the pass stops before the first that would
    // evict one of its own, and every character it took is cached.
    const int32_t n = r->entryCount;
    std::string text;
    for (int32_t i = 0; i < n + 10; ++i) text += static_cast<char>('!' + i);
    ASSERT_EQ(ClearFontGlyphCache(font), 0);
    GlyphItem items[kGlyphItemCapacity];
    ASSERT_EQ(CacheStringGlyphs(font, text.c_str(), -1, items, &count, &used), 0);
    EXPECT_EQ(count, n);
    EXPECT_EQ(used, n);
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_EQ(items[i].key, static_cast<uint8_t>(text[i]));
        EXPECT_EQ(r->codeMap[items[i].key].cached, 1u) << i;
    }
}

TEST_F(FontCacheTest, LongStringsArePassedInPiecesAtCharacterBoundaries) {
    const HandleValue font = GetDefaultFontHandle();
    // 300 double-byte characters: a pass ends at 256 characters, never inside one.
    std::string text;
    for (int i = 0; i < 300; ++i) text += "\x82\xA0";  // あ
    int32_t count = 0, used = 0;
    ASSERT_EQ(CacheStringGlyphs(font, text.c_str(), -1, nullptr, &count, &used), 0);
    EXPECT_EQ(count, kGlyphItemCapacity);
    EXPECT_EQ(used, 2 * kGlyphItemCapacity);
    // The measure walks every piece.
    StringSize one{}, all{};
    const int single = DrawCachedString(0, 0, 0, 0, 1.0, 1.0, "\x82\xA0", 0, nullptr, nullptr, 1,
                                        font, 0, -1, 0, &one);
    const int whole = DrawCachedString(0, 0, 0, 0, 1.0, 1.0, text.c_str(), 0, nullptr, nullptr, 1,
                                       font, 0, -1, 0, &all);
    EXPECT_GT(single, 0);
    EXPECT_EQ(whole, 300 * single);
    EXPECT_EQ(all.width, whole);
    // A lead byte with nothing after it is a character of its own, read no further.
    ASSERT_EQ(CacheStringGlyphs(font, "A\x83", -1, nullptr, &count, &used), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(used, 2);
}

TEST_F(FontCacheTest, AGlyphLargerThanItsCellIsCutToTheCell) {
    // A hand-made record: cells of 8 x 8 in a two-cell cache, and a 12 x 12 glyph.
    FontRecord* r = static_cast<FontRecord*>(ZN_ALLOC_ZERO(sizeof(FontRecord)));
    r->cell = 8;
    r->edgeSize = 1;
    r->entryCount = r->cacheRows = 2;
    std::vector<uint8_t> levels(16 * 12, 16), bits(4 * 12, 0xFF);
    for (uint32_t type : {kFontTypeNormal, kFontTypeEdge, kFontTypeAntialias, kFontTypeAntialiasEdge}) {
        SCOPED_TRACE(type);
        r->type = type;
        r->softBits = type == kFontTypeNormal ? 1 : 8;
        r->softPitch = (8 * r->softBits + 7) / 8;
        std::vector<uint8_t> cache(2 * 8 * r->softPitch + 64, 0x5A);  // a guard after 2 cells
        std::fill(cache.begin(), cache.begin() + 2 * 8 * r->softPitch, 0);
        r->softBitmap = cache.data();
        const bool gray = (type & kFontTypeAntialias) != 0;
        const GlyphBitmap glyph{gray ? levels.data() : bits.data(), 12, 12, gray ? 16 : 4};
        WriteGlyphToCell(*r, 0, glyph);
        // The second cell and the guard are untouched.
        for (size_t i = 8 * r->softPitch; i < 16 * r->softPitch; ++i) ASSERT_EQ(cache[i], 0) << i;
        for (size_t i = 16 * r->softPitch; i < cache.size(); ++i) ASSERT_EQ(cache[i], 0x5A) << i;
    }
    TrackedFree(r);
}

TEST(FontEdgeStamps, StampsOfEachSize) {
    struct Case {
        int32_t size, dx, dy, covered;
    };
    const Case cases[] = {
        {1, 0, 0, 1},  {1, 1, 0, 1},  {1, 1, 1, 0},  {1, 2, 0, 0},  // the cross
        {2, 2, 2, 0},  {2, 2, 1, 1},  {2, -1, -2, 1},               // corners left out
        {3, 0, -3, 1}, {3, 1, -3, 0}, {3, 2, -2, 1}, {3, 3, 1, 0},
        {4, 2, -4, 1}, {4, 3, -4, 0}, {4, 4, 2, 1},  {4, 4, 3, 0},
        {5, 5, 5, 1},  {5, 6, 0, 0},                                // the full square
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeStampCovers(c.size, c.dx, c.dy), c.covered)
            << c.size << " (" << c.dx << ", " << c.dy << ")";
    }
}

TEST(FontEdgeCells, EdgeAndLevelsAroundOneGlyphPixel) {
    FontRecord* r = static_cast<FontRecord*>(ZN_ALLOC_ZERO(sizeof(FontRecord)));
    r->cell = 8;
    r->edgeSize = 1;
    r->softBits = 8;
    r->softPitch = 8;
    std::vector<uint8_t> cache(64, 0);
    r->softBitmap = cache.data();
    // Type 1: the pixel at (1, 1) of the cell is 1, its four neighbours 2.
    r->type = kFontTypeEdge;
    const uint8_t bit = 0x80;
    WriteGlyphToCell(*r, 0, GlyphBitmap{&bit, 1, 1, 1});
    EXPECT_EQ(cache[1 * 8 + 1], 1);
    for (int i : {0 * 8 + 1, 2 * 8 + 1, 1 * 8 + 0, 1 * 8 + 2}) EXPECT_EQ(cache[i], 2) << i;
    for (int i : {0, 2, 16, 18}) EXPECT_EQ(cache[i], 0) << i;
    // Type 3: level 9 is 8 in the low nibble; the edge takes 8 in the high nibble.
    std::fill(cache.begin(), cache.end(), 0);
    r->type = kFontTypeAntialiasEdge;
    const uint8_t level = 9;
    WriteGlyphToCell(*r, 0, GlyphBitmap{&level, 1, 1, 1});
    EXPECT_EQ(cache[1 * 8 + 1], 0x88);
    for (int i : {0 * 8 + 1, 2 * 8 + 1, 1 * 8 + 0, 1 * 8 + 2}) EXPECT_EQ(cache[i], 0x80) << i;
    TrackedFree(r);
}

TEST_F(FontCacheTest, RecreateAllFontsKeepsHandlesSpacingAndTheOwnersFlag) {
    const HandleValue a = CreateFontToHandle(nullptr, 20, 6, 1, -1, -1, 0, -1, -1);
    const HandleValue b = CreateFontToHandle("", 12, 4, 0, -1, -1, 0, -1, -1);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_EQ(SetFontSpacing(3, a), 0);
    int32_t flag = 7;
    ASSERT_EQ(SetFontDeleteFlagPtr(a, &flag), 0);
    EXPECT_EQ(flag, 0);
    ASSERT_EQ(CacheStringGlyphs(a, "xyz", -1, nullptr, nullptr, nullptr), 0);
    const HandleValue defaults = GetDefaultFontHandle();

    ASSERT_EQ(RecreateAllFonts(), 0);
    for (HandleValue h : {a, b, defaults}) EXPECT_EQ(IsValidFontHandle(h), 1) << h;
    EXPECT_EQ(GetDefaultFontHandle(), defaults);
    EXPECT_EQ(GetFontRecord(a)->spacing, 3);
    EXPECT_EQ(GetFontRecord(a)->size, 20);
    EXPECT_EQ(GetFontRecord(a)->type, kFontTypeEdge);
    EXPECT_EQ(GetFontRecord(b)->size, 12);
    EXPECT_EQ(GetFontRecord(a)->codeMap['x'].cached, 0u);
    EXPECT_EQ(flag, 0);
    // The flag still belongs to the font: deleting it now tells the owner.
    ASSERT_EQ(DestroyFont(a), 0);
    EXPECT_EQ(flag, 1);
}

TEST_F(FontCacheTest, TheDefaultFontFollowsItsSettings) {
    const HandleValue before = GetDefaultFontHandle();
    ASSERT_TRUE(IsValidFontHandle(before));
    EXPECT_EQ(GetFontRecord(before)->type, kFontTypeNormal);
    ASSERT_EQ(SetDefaultFontType(1), 0);
    const HandleValue edged = GetDefaultFontHandle();
    EXPECT_EQ(GetFontRecord(edged)->type, kFontTypeEdge);
    EXPECT_EQ(IsValidFontHandle(before), 0);
    // The same settings again keep the font.
    ASSERT_EQ(SetDefaultFontType(1), 0);
    EXPECT_EQ(GetDefaultFontHandle(), edged);
    ASSERT_EQ(SetDefaultFontSize(24, -1), 0);
    EXPECT_EQ(GetFontSize(GetDefaultFontHandle()), 24);
    char face[kFontFaceNameSize] = "x";
    int32_t size = 0, thickness = 0;
    ASSERT_EQ(GetFontState(face, &size, &thickness, GetDefaultFontHandle()), 0);
    EXPECT_STREQ(face, "");
    EXPECT_EQ(size, 24);
    EXPECT_EQ(thickness, 6);
    EXPECT_EQ(SetDefaultFontType(-1), 0);
    EXPECT_EQ(GetFontRecord(GetDefaultFontHandle())->type, kFontTypeNormal);
    EXPECT_EQ(SetDefaultFontType(9), -1);
}

TEST_F(FontCacheTest, DeletingTheDrawingScreenFromOutsideRemakesItAndEmptiesTheCache) {
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 2, -1, -1, 0, -1, -1);
    ASSERT_GE(font, 0);
    FontRecord* r = GetFontRecord(font);
    ASSERT_EQ(CacheStringGlyphs(font, "Q", -1, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(r->codeMap['Q'].cached, 1u);
    const HandleValue screen = r->drawScreen;
    ASSERT_EQ(DeleteSurface2D(screen), 0);
    EXPECT_EQ(r->drawScreenLost, 1);
    ASSERT_EQ(CreateFontCacheGraph(font), 0);
    EXPECT_EQ(r->drawScreenLost, 0);
    EXPECT_NE(GetSurface2D(r->drawScreen), nullptr);
    EXPECT_EQ(r->codeMap['Q'].cached, 0u);
}

}  // namespace
