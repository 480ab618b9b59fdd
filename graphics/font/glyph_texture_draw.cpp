// Glyphs of a texture cache drawn as rectangles of the cache graph (glyph_texture_draw.h).
#include "graphics/font/glyph_texture_draw.h"

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

// The cache graph's whole picture turned 90° clockwise so that the cell (cellX, cellY) lands
// with its top-left source pixel on dest's top-right pixel. Corners are pixel centres minus
// half a pixel: the four-corner draw puts graph pixel centres on them plus half a pixel.
void DrawTurnedWhole(HandleValue graph, int32_t cellX, int32_t cellY, const RECT& dest) {
    const GraphRecord* record = GetGraphRecord(graph);
    if (record == nullptr) return;
    RECT saved{};
    GetDrawAreaRect(&saved);
    RECT area = dest;
    ClipRectInPlace(&area, &saved);
    if (area.left >= area.right || area.top >= area.bottom) return;
    // The device clips a four-corner draw to its viewport: the draw area is set through the
    // draw state so that the viewport follows it.
    SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
    const float w = static_cast<float>(record->width);
    const float h = static_cast<float>(record->height);
    // Graph point (sx, sy) lands on (dest.right + cellY - sy, dest.top - cellX + sx).
    const float ox = static_cast<float>(dest.right + cellY) - 0.5f;
    const float oy = static_cast<float>(dest.top - cellX) - 0.5f;
    BlitGraphQuad(ox, oy, ox, oy + w, ox - h, oy + w, ox - h, oy, graph, 1);
    SetDrawAreaRect(saved.left, saved.top, saved.right, saved.bottom);
}

// A rectangle of the cache (cellX, cellY, width, height) turned 90° clockwise into dest, as
// its own derived graph.
void DrawTurnedCell(HandleValue graph, int32_t cellX, int32_t cellY, int32_t width,
                    int32_t height, const RECT& dest) {
    const HandleValue cell = DeriveGraph(cellX, cellY, width, height, graph);
    if (cell < 0) return;
    const float l = static_cast<float>(dest.left) - 0.5f;
    const float t = static_cast<float>(dest.top) - 0.5f;
    const float r = static_cast<float>(dest.right) - 0.5f;
    const float b = static_cast<float>(dest.bottom) - 0.5f;
    BlitGraphQuad(r, t, r, b, l, b, l, t, cell, 1);
    DeleteGraphHandle(cell, 0);
}

void DrawFrom(const TextureGlyphDraw& draw, HandleValue graph, const GlyphCacheEntry& entry,
              int32_t cellX, int32_t cellY, const RECT& dest, int vertical) {
    if (vertical) {
        if (draw.scaled) {
            DrawTurnedCell(graph, cellX, cellY, entry.width, entry.height, dest);
        } else {
            DrawTurnedWhole(graph, cellX, cellY, dest);
        }
    } else if (draw.scaled) {
        BlitGraphRectStretched(dest.left, dest.top, dest.right, dest.bottom, cellX, cellY,
                               entry.width, entry.height, graph, 1);
    } else {
        BlitGraphRect(dest.left, dest.top, cellX, cellY, entry.width, entry.height, graph, 1, 0);
    }
}

}  // namespace

void BeginTextureGlyphs(TextureGlyphDraw* draw) {
    const DrawState& state = GetDrawState();
    draw->savedBright = state.bright;
    draw->savedBlendGraph = state.blendGraph;
    draw->savedBorderParam = state.blendGraphBorderParam;
    draw->savedBorderRange = state.blendGraphBorderRange;
    if (state.blendGraph != kNoHandle) SelectBlendGraph(kNoHandle, 0, 0);
}

void DrawTextureGlyph(const TextureGlyphDraw& draw, const FontRecord& font,
                      const GlyphCacheEntry& entry, int32_t cellX, int32_t cellY,
                      const RECT& dest, int vertical) {
    if ((font.type & kFontTypeEdge) != 0 && font.edgeGraph != kNoHandle) {
        SetBrightPacked(draw.edgeRgb);
        DrawFrom(draw, font.edgeGraph, entry, cellX, cellY, dest, vertical);
    }
    SetBrightPacked(draw.textRgb);
    DrawFrom(draw, font.cacheGraph, entry, cellX, cellY, dest, vertical);
}

void EndTextureGlyphs(const TextureGlyphDraw& draw) {
    if (draw.savedBlendGraph != kNoHandle) {
        SelectBlendGraph(draw.savedBlendGraph, draw.savedBorderParam, draw.savedBorderRange);
    }
    SetBrightPacked(draw.savedBright);
}
