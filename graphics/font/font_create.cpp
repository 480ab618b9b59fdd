// Creating and deleting fonts: the GDI font with its fallbacks, the measures of the cache, and
// either the texture cache (a texture graph, while the Direct3D device draws) or the software
// cache bitmap with the font drawing screen.
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/core/system_info.h"
#include "platform/font/gdi_font.h"

namespace {

constexpr uint32_t kCharSets[3] = {plat::DEFAULT_CHARSET, plat::SHIFTJIS_CHARSET,
                                   plat::HANGEUL_CHARSET};
constexpr int32_t kKoreanCodePage = 949;

bool ScreenReady() {
    return ScreenSlot()->isNoDirectDraw() != 0 || ScreenSlot()->hasDirectDrawObject() != 0;
}

int32_t FirstFreeSlot(const FontSystemState& state) {
    for (int32_t i = 0; i < kMaxFontHandles; ++i) {
        if (state.slots[i] == nullptr) return i;
    }
    return -1;
}

plat::Font* MakeGdiFont(const FontRecord& r, const char* name, int32_t italic, uint32_t charSet) {
    return plat::CreateFontA(r.size, 0, 0, 0, r.thickness * 100, static_cast<uint32_t>(italic), 0,
                             0, charSet, 0, 0, plat::NONANTIALIASED_QUALITY, plat::FIXED_PITCH,
                             name);
}

// The GDI font of the record, with the fallbacks of a named and of the default face.
plat::Font* CreateGdiFont(const FontRecord& r) {
    const uint32_t charSet = kCharSets[r.charSet];
    plat::Font* font = nullptr;
    if (r.faceName[0] != '\0') {
        font = MakeGdiFont(r, r.faceName, r.italic, charSet);
        if (font == nullptr) font = MakeGdiFont(r, r.faceName, r.italic, plat::DEFAULT_CHARSET);
        if (font == nullptr) font = MakeGdiFont(r, r.faceName, r.italic, plat::SHIFTJIS_CHARSET);
        if (font == nullptr) LogWrite("指定のフォントの作成に失敗しました\n");
        return font;
    }
    font = MakeGdiFont(r, "ＭＳ ゴシック", r.italic, charSet);
    if (font == nullptr) font = MakeGdiFont(r, "ＭＳ ゴシック", 0, plat::DEFAULT_CHARSET);
    if (font == nullptr) font = MakeGdiFont(r, nullptr, 0, plat::DEFAULT_CHARSET);
    if (font == nullptr) LogWrite("フォントの作成に失敗しました\n");
    return font;
}

// Cell side and line height from the font's text metrics. False when no DC is had.
bool MeasureFont(FontRecord* r, plat::Font* font) {
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        LogWrite("ＤＣの取得に失敗しました\n");
        return false;
    }
    plat::Font* old = plat::SelectObject(dc, font);
    plat::TextMetric metrics{};
    const bool measured = plat::GetTextMetricsA(dc, &metrics);
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    if (!measured) {
        LogWrite("ＤＣの取得に失敗しました\n");
        return false;
    }
    r->lineHeight = FontLineHeight(metrics.height, r->type, r->edgeSize);
    r->cell = FontCellSide(metrics.maxCharWidth, r->lineHeight, r->type, r->edgeSize);
    return true;
}

// The texture cache's graphs and glyph image; their lost flags point into the record, so
// they are let go of first.
void ReleaseTextureCache(FontRecord* r) {
    if (r->edgeGraph != kNoHandle) DeleteGraphHandle(r->edgeGraph, 0);
    if (r->cacheGraph != kNoHandle) {
        SetGraphDeleteFlagPtr(r->cacheGraph, nullptr);
        DeleteGraphHandle(r->cacheGraph, 0);
    }
    r->edgeGraph = kNoHandle;
    r->cacheGraph = kNoHandle;
    TrackedFree(r->glyphImage.pixels);
    r->glyphImage.pixels = nullptr;
}

int Abandon(FontSystemState& state, int32_t slot, FontRecord* r) {
    if (r->font != nullptr) plat::DeleteObject(r->font);
    TrackedFree(r->softBitmap);
    if (r->drawScreen != kNoHandle) DeleteSurface2D(r->drawScreen);
    ReleaseTextureCache(r);
    TrackedFree(r);
    state.slots[slot] = nullptr;
    return -1;
}

// The colour format of the device's 16-bit texture format with alpha or with a colour key, as
// the surface records make textures; null without a device or such a format.
const PaletteColorFormat* DeviceTextureFormat16(int alpha, int alphaKey) {
    const int formatNumber = DeviceFormatSlot()->chooseTextureFormat(16, alpha, alphaKey, 0);
    return DeviceTextureColorFormat(formatNumber);
}

// A texture cache is taken while the Direct3D device draws and both 16-bit texture formats
// are the expected ones: 4-4-4-4 with alpha, and 1-5-5-5 for the colour key.
bool TextureCacheWanted(const FontSystemState& state) {
    if (state.defaults.forbidTextureCache != 0 || IsUsing3DDevice() == 0) return false;
    const PaletteColorFormat* alpha = DeviceTextureFormat16(1, 0);
    const PaletteColorFormat* key = DeviceTextureFormat16(0, 1);
    if (alpha == nullptr || key == nullptr) return false;
    const ColorFormat& a = alpha->format;
    const ColorFormat& k = key->format;
    return a.bits == 16 && a.widthA == 4 && a.widthR == 4 && a.widthG == 4 && a.widthB == 4 &&
           k.bits == 16 && k.widthA == 1 && k.widthR == 5 && k.widthG == 5 && k.widthB == 5;
}

// Lays out the texture cache, makes its graph and the glyph image. 1 made; 0 when the graph
// could not be made (logged; the caller takes the software cache); -1 when the glyph image
// cannot be had (logged).
int MakeTextureCache(FontRecord* r, HandleValue handle) {
    const FontSystemState& state = GetFontSystemState();
    const TextureCacheLayout layout =
        ComputeTextureCacheLayout(r->cell, state.defaults.requestedEntries);
    r->textureCache = 1;
    r->cacheWidth = layout.width;
    r->cacheHeight = layout.height;
    r->entryCount = layout.entryCount;
    r->cacheRows = layout.rows;
    r->cacheGraphLost = 1;
    if (CreateFontCacheGraph(handle) != 0) {
        LogWrite("テクスチャ文字キャッシュの作成に失敗しました\n");
        ReleaseTextureCache(r);
        r->textureCache = 0;
        r->cacheGraphLost = 0;
        return 0;
    }
    const bool antialias = (r->type & kFontTypeAntialias) != 0;
    const bool edge = (r->type & kFontTypeEdge) != 0;
    const PaletteColorFormat* format = DeviceTextureFormat16(antialias ? 1 : 0, antialias ? 0 : 1);
    GraphImage& image = r->glyphImage;
    image.colorFormat = *format;
    image.width = edge ? r->cell * 2 : r->cell;
    image.height = edge ? r->cell + 2 * r->edgeSize : r->cell;
    image.pitch = image.width * format->format.bytes;
    image.pixels = static_cast<uint8_t*>(
        ZN_ALLOC_ZERO(static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height)));
    if (image.pixels == nullptr) {
        LogWrite("文字キャッシュ処理用メモリの確保に失敗しました\n");
        return -1;
    }
    return 1;
}

}  // namespace

HandleValue CreateFontToHandle(const char* faceName, int32_t size, int32_t thickness,
                               int32_t type, int32_t charSet, int32_t edgeSize, int32_t italic,
                               int32_t slot, int32_t serial) {
    if (!ScreenReady()) return LogWrite("画面が初期化されていないためフォントを作成できません\n");
    FontSystemState& state = GetFontSystemState();

    if (type == -1) type = 0;
    if (edgeSize > 1) type |= static_cast<int32_t>(kFontTypeEdge);
    if (size == -1) size = 16;
    if (thickness == -1) thickness = 6;
    if (edgeSize == -1) edgeSize = 1;
    if (charSet == -1) charSet = static_cast<int32_t>(plat::GetOemCodePage()) == kKoreanCodePage ? 2 : 1;
    if (type < 0 || type > 3 || size <= 0 || thickness < 0 || thickness > 10 || edgeSize < 1 ||
        charSet < 0 || charSet > 2 || slot < -1 || slot >= kMaxFontHandles || serial < -1 ||
        serial > static_cast<int32_t>(kHandleSerialMax)) {
        return LogFormat("フォントの作成に不正な値が渡されました (サイズ %d 太さ %d タイプ %d "
                         "文字セット %d 縁 %d)",
                         size, thickness, type, charSet, edgeSize);
    }

    if (slot != -1) {
        if (state.slots[slot] != nullptr) return LogFormat("フォントハンドル %d は使用中です", slot);
    } else {
        slot = FirstFreeSlot(state);
        if (slot < 0) {
            return LogFormat("作成できるフォントハンドル数 %d の限界を超えました", kMaxFontHandles);
        }
    }

    auto* r = static_cast<FontRecord*>(ZN_ALLOC_ZERO(sizeof(FontRecord)));
    if (r == nullptr) return LogWrite("フォント管理用メモリの確保に失敗しました\n");
    state.slots[slot] = r;
    r->cacheGraph = kNoHandle;
    r->edgeGraph = kNoHandle;
    r->drawScreen = kNoHandle;
    if (GetDisplayDepth() == 8) type &= ~static_cast<int32_t>(kFontTypeAntialias);
    r->edgeSize = edgeSize;
    r->type = static_cast<uint32_t>(type);
    r->size = size;
    r->thickness = thickness;
    r->italic = italic;
    r->spacing = 0;
    r->charSet = charSet;
    r->serial = serial != -1 ? static_cast<uint32_t>(serial) : TakeHandleSerial(&state.serialCounter);

    if (faceName != nullptr) std::snprintf(r->faceName, sizeof r->faceName, "%s", faceName);
    plat::Font* font = CreateGdiFont(*r);
    if (font == nullptr) return Abandon(state, slot, r);
    r->font = font;
    if (!MeasureFont(r, font)) return Abandon(state, slot, r);

    const HandleValue handle = MakeHandleValue(kHandleKindFont, r->serial, slot);
    // A font made while the Direct3D device draws keeps its glyphs in a texture graph; when
    // that cannot be made the font falls back to the software cache.
    if (TextureCacheWanted(state)) {
        const int made = MakeTextureCache(r, handle);
        if (made < 0) return Abandon(state, slot, r);
        if (made > 0) {
            ClearFontGlyphCache(handle);
            r->deletedFlag = nullptr;
            return handle;
        }
    }
    r->textureCache = 0;
    r->softBits = r->type == kFontTypeNormal ? 1 : 8;
    const int32_t entries = SoftwareCacheEntries(r->cell, state.defaults.requestedEntries);
    r->cacheWidth = r->cell;
    r->cacheHeight = entries * r->cell;
    r->entryCount = entries;
    r->cacheRows = entries;
    r->softPitch = (static_cast<uint32_t>(r->cell) * r->softBits + 7) / 8;
    r->softBitmap = static_cast<uint8_t*>(
        ZN_ALLOC_ZERO(static_cast<size_t>(r->cacheHeight) * r->softPitch));
    if (r->softBitmap == nullptr) {
        LogWrite("フォントのキャッシュ用メモリの確保に失敗しました in CreateFontToHandle\n");
        return Abandon(state, slot, r);
    }
    r->drawScreenLost = 1;
    if (CreateFontCacheGraph(handle) != 0) {
        LogWrite("フォント用描画スクリーンの作成に失敗しました\n");
        return Abandon(state, slot, r);
    }
    ClearFontGlyphCache(handle);
    r->deletedFlag = nullptr;
    return handle;
}

int DestroyFont(HandleValue font) {
    FontRecord* r = GetFontRecord(font);
    if (r == nullptr) return -1;
    FontSystemState& state = GetFontSystemState();
    if (r->font != nullptr) plat::DeleteObject(r->font);
    TrackedFree(r->softBitmap);
    if (r->drawScreen != kNoHandle) {
        // The surface's deleted flag points into this record: let go of it first.
        SetSurface2DDeleteFlagPtr(r->drawScreen, nullptr);
        DeleteSurface2D(r->drawScreen);
    }
    ReleaseTextureCache(r);
    if (r->deletedFlag != nullptr) *r->deletedFlag = 1;
    state.slots[GetHandleSlot(font)] = nullptr;
    TrackedFree(r);
    return 0;
}
