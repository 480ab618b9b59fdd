// The font records: a font handle's record with its glyph cache (the cache entries, the map
// from character keys to entries and the cache bitmap), the table of the 40 font slots, the
// default font's settings, and the one block that holds all of them.
//
// A font's glyphs are rendered once into square cells of its cache and copied from there on
// every string draw. The software cache is one column of cells in a bitmap of 1 bit (type 0)
// or 8 bits (types 1-3) per pixel. The texture cache, which a font made while the Direct3D
// device draws keeps, is a 16-bit texture graph whose cells fill a column top to bottom and
// then the next column; edge types keep the edges in a second half of the same width to the
// right. Entry i always owns cell i, and new glyphs take the entries in rotation.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/codecs/graph_image.h"

namespace plat {
struct Font;
}

// Font types: bit 0 edge, bit 1 antialias.
constexpr uint32_t kFontTypeNormal = 0;
constexpr uint32_t kFontTypeEdge = 1;
constexpr uint32_t kFontTypeAntialias = 2;
constexpr uint32_t kFontTypeAntialiasEdge = 3;

constexpr int32_t kFontMaxEntries = 2024;
constexpr int32_t kFontMinSoftEntries = 20;
constexpr int32_t kFontMinTextureEntries = 10;
constexpr int32_t kFontFaceNameSize = 256;
constexpr int32_t kGlyphCodeMapSize = 65536;
// The character items of one pass over a string (see CacheStringGlyphs).
constexpr int32_t kGlyphItemCapacity = 256;

struct GlyphCodeSlot;

struct GlyphCacheEntry {
    uint16_t used;        // 1 while the entry holds a glyph
    int16_t offsetX;      // bitmap left from the pen position
    int16_t offsetY;      // bitmap top from the line top
    int16_t advance;      // pen advance, edge included
    int32_t cellIndex;    // the cell this entry owns (entry i: cell i), -1 past the last
    int16_t width;        // bitmap size in the cell, edge included
    int16_t height;
    GlyphCodeSlot* mapSlot;  // the code map slot pointing here, to unlink it on reuse
};

struct GlyphCodeSlot {
    uint32_t cached;         // 1 while the character is in the cache
    GlyphCacheEntry* entry;
};

// One character of a string: its key (a single byte, or lead | second << 8).
struct GlyphItem {
    uint16_t key;
    uint8_t zero;
};

struct FontRecord {
    uint32_t serial;
    int32_t* deletedFlag;    // owner's flag, set to 1 when the font is deleted; null = none
    GlyphCacheEntry entries[kFontMaxEntries + 1];
    GlyphCodeSlot codeMap[kGlyphCodeMapSize];
    int32_t nextEntry;       // the entry the next new glyph takes
    int32_t entryCount;      // entries in use
    uint8_t* softBitmap;     // software cache bitmap
    uint32_t softPitch;      // bytes per cache row
    uint32_t softBits;       // 1 (type 0) or 8 bits per pixel
    char faceName[kFontFaceNameSize];  // as asked; empty = the library's default face
    int32_t thickness;       // GDI weight / 100
    int32_t size;            // font height in pixels
    int32_t lineHeight;      // text height (+ 2 × edge for edge types), even
    int32_t italic;
    int32_t spacing;         // extra pixels on every advance
    int32_t cell;            // side of a cache cell
    plat::Font* font;
    uint32_t type;           // kFontType*
    int32_t charSet;         // 0 default, 1 Shift-JIS, 2 Hangeul
    int32_t edgeSize;        // 1 or more
    int32_t cacheWidth, cacheHeight;
    int32_t cacheRows;       // cells per column
    HandleValue drawScreen;  // font drawing screen (2D surface), -1 none
    int32_t drawScreenLost;  // 1: the drawing screen must be (re)made
    HandleValue cacheGraph;  // texture cache graph, -1 none (Direct3D only)
    HandleValue edgeGraph;   // its edge half, -1 none
    int32_t cacheGraphLost;  // 1: the cache graph must be (re)made
    uint32_t textureCache;   // 1 texture cache, 0 software cache
    // Texture cache: one glyph composed in the cache graph's texture format before it is
    // transferred into its cell (edge types: the glyph in the left half, its edge in the right
    // half, each cell wide and cell + 2 × edge tall).
    GraphImage glyphImage;
};

// Settings of the default font (graphics start-up sets the values in brackets).
struct DefaultFontSettings {
    HandleValue handle;                // the default font, -1 none
    char faceName[kFontFaceNameSize];  // [empty]
    int32_t size;                      // [16]
    int32_t thickness;                 // [6]
    uint32_t type;                     // [0]
    int32_t charSet;                   // [1]
    int32_t edgeSize;                  // [1]
    int32_t italic;                    // [0]
    int32_t spacing;                   // [0]
    // A requested cache entry count (0: computed) and the switch that forbids the texture
    // cache; no setter changes them.
    int32_t requestedEntries;
    int32_t forbidTextureCache;
};

// Everything the fonts keep between calls.
struct FontSystemState {
    FontRecord* slots[kMaxFontHandles];  // null = free
    int32_t serialCounter;               // next check serial, shared by all font creations
    DefaultFontSettings defaults;
    // The library's item buffer and render list for callers that bring none.
    GlyphItem items[kGlyphItemCapacity];
    GlyphItem renderList[kGlyphItemCapacity];
};

FontSystemState& GetFontSystemState();
