// The glyph cache of a font: emptying it, and rendering characters into its entries in
// rotation through the font back end's glyph outlines, into the software cache's cells or
// through the glyph image into the texture cache graph.
#include <algorithm>
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/font/font.h"
#include "graphics/font/glyph_cell_write.h"
#include "platform/font/gdi_font.h"

namespace {

constexpr uint16_t kKeySpace = 0x20;
constexpr uint16_t kKeyWideSpace = 0x4081;  // bytes 0x81 0x40

constexpr plat::Mat2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Rows of a glyph bitmap as the back end pads them.
int32_t GlyphRowBytes(uint32_t format, uint32_t width) {
    return format == plat::GGO_BITMAP ? static_cast<int32_t>((width + 31) / 32 * 4)
                                      : static_cast<int32_t>((width + 3) / 4 * 4);
}

// Takes the next entry for the key: the character it held leaves the cache.
GlyphCacheEntry* TakeEntry(FontRecord& f, uint16_t key) {
    GlyphCacheEntry* entry = &f.entries[f.nextEntry];
    if (entry->used && entry->mapSlot != nullptr) {
        *entry->mapSlot = GlyphCodeSlot{0, nullptr};
    }
    GlyphCodeSlot* slot = &f.codeMap[key];
    *slot = GlyphCodeSlot{1, entry};
    entry->mapSlot = slot;
    entry->used = 1;
    f.nextEntry = f.nextEntry + 1 >= f.entryCount ? 0 : f.nextEntry + 1;
    return entry;
}

// Empties the entry's cell: the rows of the software cache, or the texture cache's glyph
// image.
void ClearCell(FontRecord& f, int32_t cellTop) {
    if (f.textureCache) {
        GraphImage& image = f.glyphImage;
        if (image.pixels != nullptr) {
            std::memset(image.pixels, 0, static_cast<size_t>(image.pitch) * image.height);
        }
        return;
    }
    std::memset(f.softBitmap + static_cast<size_t>(cellTop) * f.softPitch, 0,
                static_cast<size_t>(f.cell) * f.softPitch);
}

int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767)); }

// Renders one character into the entry. A glyph the back end cannot give, or one with
// nothing to draw, leaves the entry empty.
void RenderGlyph(FontRecord& f, plat::DeviceContext* dc, int32_t ascent, uint16_t key,
                 GlyphCacheEntry* entry) {
    const int32_t e = (f.type & kFontTypeEdge) != 0 ? f.edgeSize : 0;
    const int32_t cellTop = f.cell * (entry->cellIndex % f.cacheRows);
    ClearCell(f, cellTop);
    entry->offsetX = entry->offsetY = 0;
    entry->advance = Clamp16(2 * e);
    entry->width = entry->height = Clamp16(std::min(2 * e, f.cell));

    const uint32_t format = (f.type & kFontTypeAntialias) != 0 ? plat::GGO_GRAY4_BITMAP
                                                                : plat::GGO_BITMAP;
    const uint32_t code = key > 0xFF ? static_cast<uint32_t>((key & 0xFF) << 8 | key >> 8) : key;
    plat::GlyphMetrics metrics{};
    const uint32_t size = plat::GetGlyphOutlineA(dc, code, format, &metrics, 0, nullptr, &kIdentity);
    if (size == plat::GDI_ERROR) {
        LogFormat("GetGlyphOutline 関数が失敗しました 文字コード 0x%04X", code);
        return;
    }
    entry->advance = Clamp16(metrics.cellIncX + 2 * e);
    if (key == kKeySpace || key == kKeyWideSpace || size == 0) return;

    const int32_t rowBytes = GlyphRowBytes(format, metrics.blackBoxX);
    const size_t needed = static_cast<size_t>(rowBytes) * metrics.blackBoxY;
    if (needed == 0 || needed > size + static_cast<size_t>(2 * rowBytes)) return;
    const size_t bytes = std::max<size_t>(size, needed) + 2 * static_cast<size_t>(rowBytes);
    auto* buffer = static_cast<uint8_t*>(ZN_ALLOC_ZERO(bytes));
    if (buffer == nullptr) {
        FatalExit("アンチエイリアス文字取得用バッファの確保に失敗しました");
        return;
    }
    if (plat::GetGlyphOutlineA(dc, code, format, &metrics, static_cast<uint32_t>(bytes), buffer,
                               &kIdentity) == plat::GDI_ERROR) {
        LogFormat("GetGlyphOutline 関数が失敗しました 文字コード 0x%04X", code);
        TrackedFree(buffer);
        return;
    }
    const GlyphBitmap glyph{buffer, static_cast<int32_t>(metrics.blackBoxX),
                            static_cast<int32_t>(metrics.blackBoxY), rowBytes};
    if (f.textureCache) {
        WriteGlyphToTexture(f, f.cell * (entry->cellIndex / f.cacheRows), cellTop, glyph);
    } else {
        WriteGlyphToCell(f, cellTop, glyph);
    }
    TrackedFree(buffer);
    entry->offsetX = Clamp16(metrics.glyphOrigin.x);
    entry->offsetY = Clamp16(ascent - metrics.glyphOrigin.y);
    // What the cell could not hold was cut off with it.
    entry->width = Clamp16(std::min<int32_t>(static_cast<int32_t>(metrics.blackBoxX) + 2 * e, f.cell));
    entry->height = Clamp16(std::min<int32_t>(static_cast<int32_t>(metrics.blackBoxY) + 2 * e, f.cell));
}

}  // namespace

int ClearFontGlyphCache(HandleValue font) {
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return -1;
    std::memset(f->codeMap, 0, sizeof f->codeMap);
    std::memset(f->entries, 0, sizeof f->entries);
    for (int32_t i = 0; i < f->entryCount; ++i) f->entries[i].cellIndex = i;
    f->entries[f->entryCount].cellIndex = -1;
    f->nextEntry = 0;
    return 0;
}

GlyphCacheEntry* RenderGlyphsToCache(HandleValue font, int32_t count, const GlyphItem* items) {
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr || items == nullptr || count <= 0) return nullptr;
    if (f->textureCache ? f->glyphImage.pixels == nullptr : f->softBitmap == nullptr) return nullptr;
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    plat::Font* old = dc != nullptr ? plat::SelectObject(dc, f->font) : nullptr;
    plat::TextMetric metrics{};
    if (dc == nullptr || !plat::GetTextMetricsA(dc, &metrics)) {
        if (dc != nullptr) {
            plat::SelectObject(dc, old);
            plat::DeleteDC(dc);
        }
        FatalExit("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
        return nullptr;
    }
    GlyphCacheEntry* last = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        last = TakeEntry(*f, items[i].key);
        RenderGlyph(*f, dc, metrics.ascent, items[i].key, last);
    }
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    return last;
}

GlyphCacheEntry* GetGlyphEntry(HandleValue font, uint16_t key) {
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return nullptr;
    const GlyphCodeSlot& slot = f->codeMap[key];
    if (slot.cached) return slot.entry;
    const GlyphItem item{key, 0};
    GlyphCacheEntry* entry = RenderGlyphsToCache(font, 1, &item);
    if (entry == nullptr) FatalExit("テキストキャッシュの作成に失敗しました");
    return entry;
}
