// Fonts and their glyph cache: font handles (kind 4, 40 slots), creation and deletion, the
// cache's cells and entries, the rendering of glyphs into the cache, the default font and its
// settings, and the re-creation of every font after the display surfaces were lost.
// Records: font_record.h. String drawing: string_draw.h.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/font/font_record.h"

// --- Handles ---------------------------------------------------------------------------------
// The record behind a font handle, or null.
FontRecord* GetFontRecord(HandleValue font);
int IsValidFontHandle(HandleValue font);
// Size in pixels, or -1.
int GetFontSize(HandleValue font);
// Copies face name (kFontFaceNameSize bytes), size and thickness out; each may be null. 0 / -1.
int GetFontState(char* faceName, int32_t* size, int32_t* thickness, HandleValue font);
int SetFontSpacing(int32_t spacing, HandleValue font);
// Remembers the owner's flag (may be null) and sets it to 0 now; it turns 1 when the font is
// deleted. 0 / -1.
int SetFontDeleteFlagPtr(HandleValue font, int32_t* flag);
HandleValue GetDefaultFontHandle();
// 1 when the byte starts a double-byte character of the charset (2: the high bit; otherwise
// 0x81-0x9F and 0xE0-0xFC).
int IsMultiByteLead(const char* byte, int32_t charSet);

// --- Creation --------------------------------------------------------------------------------
// A font; -1 (after a log line) on failure. faceName may be null or empty (the default face);
// -1 for type, size, thickness, charset index and edge size takes the defaults; slot -1 takes
// the first free slot, serial -1 the next serial.
HandleValue CreateFontToHandle(const char* faceName, int32_t size, int32_t thickness,
                               int32_t type, int32_t charSet, int32_t edgeSize, int32_t italic,
                               int32_t slot, int32_t serial);
int DestroyFont(HandleValue font);
// (Re)makes the font's drawing screen (software cache) and its cache graph (texture cache)
// when they were lost, and then clears the glyph cache. 0 / -1.
int CreateFontCacheGraph(HandleValue font);
// The drawing screen of the font record alone (CreateFontCacheGraph's first step). 0 / -1.
int MakeFontDrawScreen(FontRecord* record, HandleValue font);

// --- Cache arithmetic ------------------------------------------------------------------------
// The cell side for a font whose widest character is maxCharWidth and whose line is
// lineHeight tall: maxCharWidth + 2 (+ 2 × edge for edge types) rounded up to 8, at least
// lineHeight.
int32_t FontCellSide(int32_t maxCharWidth, int32_t lineHeight, uint32_t type, int32_t edgeSize);
// The line height: text height (+ 2 × edge for edge types), made even.
int32_t FontLineHeight(int32_t textHeight, uint32_t type, int32_t edgeSize);
// Entries of a software cache: the requested count, or 327680 / cell² at least 20; at most
// 2024.
int32_t SoftwareCacheEntries(int32_t cell, int32_t requested);
struct TextureCacheLayout {
    int32_t width, height, entryCount, rows;
};
// The texture a texture cache of the cell side would take (see the Direct3D device).
TextureCacheLayout ComputeTextureCacheLayout(int32_t cell, int32_t requested);

// --- The glyph cache -------------------------------------------------------------------------
// Empties the cache: every entry free, entry i owning cell i. 0 / -1.
int ClearFontGlyphCache(HandleValue font);
// Renders the listed characters into the next entries. The last entry written, or null.
GlyphCacheEntry* RenderGlyphsToCache(HandleValue font, int32_t count, const GlyphItem* items);
// Splits up to length bytes of the string (-1: all) into characters, one item each, and
// renders those not cached yet. One call takes at most kGlyphItemCapacity characters, and no
// more distinct new characters than the cache holds, so that none is evicted by another of
// the same call; *bytesUsed tells where the next call goes on. items (null: the library's
// buffer) must hold kGlyphItemCapacity items. 0 / -1.
int CacheStringGlyphs(HandleValue font, const char* string, int32_t length, GlyphItem* items,
                      int32_t* charCount, int32_t* bytesUsed);
// The entry of a character, rendering it when it is not cached; null when it cannot be.
GlyphCacheEntry* GetGlyphEntry(HandleValue font, uint16_t key);
// The key of the character at string (length bytes left): a lead byte with its second byte,
// else the byte. *bytes receives 1 or 2.
uint16_t GlyphKeyAt(const char* string, int32_t length, int32_t charSet, int32_t* bytes);

// --- The default font and the font system ----------------------------------------------------
int RefreshDefaultFont();
int SetDefaultFontSize(int32_t size, int32_t thickness);
int SetDefaultFontType(int32_t type);
int InitFontSystem();
int RecreateAllFonts();
// Deletes every font; the default handle becomes -1. 0.
int DeleteAllFonts();

// The fonts as graph management's font driver.
extern const FontDriver kFontModule;
