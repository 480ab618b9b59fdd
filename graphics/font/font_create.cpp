// Creating and deleting fonts: the GDI font with its fallbacks, the measures of the cache and
// the software cache bitmap with the font drawing screen.
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/surface_2d.h"
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

int Abandon(FontSystemState& state, int32_t slot, FontRecord* r) {
    if (r->font != nullptr) plat::DeleteObject(r->font);
    TrackedFree(r->softBitmap);
    if (r->drawScreen != kNoHandle) DeleteSurface2D(r->drawScreen);
    TrackedFree(r);
    state.slots[slot] = nullptr;
    return -1;
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

    // Direct3D issue: a font made while the Direct3D device draws keeps its glyphs in a texture
    // cache laid out by ComputeTextureCacheLayout (unless forbidTextureCache is set). Until that
    // device exists every font keeps them in the software cache.
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
    const HandleValue handle = MakeHandleValue(kHandleKindFont, r->serial, slot);
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
    if (r->deletedFlag != nullptr) *r->deletedFlag = 1;
    state.slots[GetHandleSlot(font)] = nullptr;
    TrackedFree(r);
    return 0;
}
