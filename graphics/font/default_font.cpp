// The default font with its settings, the start of the font system, the deletion of every
// font, and the re-creation of every font in place after the display surfaces were lost.
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"

namespace {

bool ScreenReady() {
    return ScreenSlot()->isNoDirectDraw() != 0 || ScreenSlot()->hasDirectDrawObject() != 0;
}

// What a font was made with, copied out of its record before the record goes.
struct FontSettings {
    char faceName[kFontFaceNameSize];
    int32_t size, thickness, type, charSet, edgeSize, italic, spacing;
    uint32_t serial;
    int32_t* deletedFlag;
};

FontSettings ReadSettings(const FontRecord& r) {
    FontSettings s{};
    std::memcpy(s.faceName, r.faceName, sizeof s.faceName);
    s.faceName[kFontFaceNameSize - 1] = '\0';
    s.size = r.size;
    s.thickness = r.thickness;
    s.type = static_cast<int32_t>(r.type);
    s.charSet = r.charSet;
    s.edgeSize = r.edgeSize;
    s.italic = r.italic;
    s.spacing = r.spacing;
    s.serial = r.serial;
    s.deletedFlag = r.deletedFlag;
    return s;
}

HandleValue CreateFromSettings(const FontSettings& s, int32_t slot, int32_t serial) {
    const int32_t edge = (s.type & static_cast<int32_t>(kFontTypeEdge)) != 0 ? s.edgeSize : -1;
    return CreateFontToHandle(s.faceName, s.size, s.thickness, s.type, s.charSet, edge, s.italic,
                              slot, serial);
}

void StartFonts(int32_t size, int32_t thickness, int32_t type) {
    DefaultFontSettings& d = GetFontSystemState().defaults;
    d.faceName[0] = '\0';
    d.size = size;
    d.thickness = thickness;
    d.type = static_cast<uint32_t>(type);
    d.charSet = 1;
    d.edgeSize = 1;
    d.italic = 0;
    d.spacing = 0;
    d.requestedEntries = 0;
    d.forbidTextureCache = 0;
    InitFontSystem();
}

void RecreateFonts() { RecreateAllFonts(); }
void DeleteFonts() { DeleteAllFonts(); }

}  // namespace

const FontDriver kFontModule = {
    .startFonts = StartFonts,
    .recreateAllFonts = RecreateFonts,
    .deleteAllFonts = DeleteFonts,
};

int RefreshDefaultFont() {
    DefaultFontSettings& d = GetFontSystemState().defaults;
    const FontRecord* r = GetFontRecord(d.handle);
    if (r != nullptr && std::strcmp(r->faceName, d.faceName) == 0 && r->type == d.type &&
        r->size == d.size && r->thickness == d.thickness && r->charSet == d.charSet &&
        r->edgeSize == d.edgeSize && r->italic == d.italic) {
        return 0;
    }
    DestroyFont(d.handle);
    d.handle = CreateFontToHandle(d.faceName, d.size, d.thickness, static_cast<int32_t>(d.type),
                                  d.charSet, (d.type & kFontTypeEdge) != 0 ? d.edgeSize : -1,
                                  d.italic, -1, -1);
    SetFontSpacing(d.spacing, d.handle);
    return 0;
}

int SetDefaultFontSize(int32_t size, int32_t thickness) {
    if (!ScreenReady()) return -1;
    DefaultFontSettings& d = GetFontSystemState().defaults;
    d.size = size == -1 ? 16 : size;
    d.thickness = thickness == -1 ? 6 : thickness;
    return RefreshDefaultFont();
}

int SetDefaultFontType(int32_t type) {
    if (type == -1) type = 0;
    if (type < 0 || type > 3) return LogFormat("フォントタイプ %d は不正です", type);
    GetFontSystemState().defaults.type = static_cast<uint32_t>(type);
    return RefreshDefaultFont();
}

int InitFontSystem() {
    if (!ScreenReady()) return -1;
    LogWrite("フォントの初期化を行います\n");
    LogIndentAdd();
    FontSystemState& state = GetFontSystemState();
    const FontRecord* current = GetFontRecord(state.defaults.handle);
    const bool remembered = current != nullptr;
    const FontSettings previous = remembered ? ReadSettings(*current) : FontSettings{};
    DeleteAllFonts();
    if (remembered) {
        state.defaults.handle = CreateFromSettings(previous, -1, -1);
    } else {
        state.defaults.handle = CreateFontToHandle("", 16, 6, -1, -1, -1, 0, -1, -1);
    }
    LogIndentSub();
    LogWrite("フォントの初期化は正常に終了しました\n");
    return 0;
}

int DeleteAllFonts() {
    FontSystemState& state = GetFontSystemState();
    for (int32_t slot = 0; slot < kMaxFontHandles; ++slot) {
        const FontRecord* r = state.slots[slot];
        if (r != nullptr) DestroyFont(MakeHandleValue(kHandleKindFont, r->serial, slot));
    }
    state.defaults.handle = kNoHandle;
    return 0;
}

int RecreateAllFonts() {
    FontSystemState& state = GetFontSystemState();
    for (int32_t slot = 0; slot < kMaxFontHandles; ++slot) {
        FontRecord* r = state.slots[slot];
        if (r == nullptr) continue;
        // Everything is copied out of the record before it is freed; the new record is looked
        // up by its handle afterwards. The font keeps its handle, so its owner is not told of
        // a deletion: the flag goes over to the new record.
        const FontSettings s = ReadSettings(*r);
        r->deletedFlag = nullptr;
        DestroyFont(MakeHandleValue(kHandleKindFont, s.serial, slot));
        const HandleValue font = CreateFromSettings(s, slot, static_cast<int32_t>(s.serial));
        if (font < 0) {
            if (s.deletedFlag != nullptr) *s.deletedFlag = 1;
            continue;
        }
        SetFontSpacing(s.spacing, font);
        GetFontRecord(font)->deletedFlag = s.deletedFlag;
    }
    return 0;
}
