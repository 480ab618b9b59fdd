// The graphs a font's glyphs live in and are drawn from: the texture cache graph (a 16-bit
// texture graph, with a derived graph over its edge half for edge types) of a font with a
// texture cache, and the font drawing screen of a font with a software cache. Each is made
// when its lost flag is 1: at creation, and after it was deleted from outside (all graphs go
// on a device loss), when the glyph cache is emptied as well so that every glyph is rendered
// again.
#include "graphics/draw_state/draw_state.h"
#include "graphics/font/font.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

// The texture cache graph: a blank texture graph of 16 bits, with alpha for antialias types
// and an alpha key otherwise, made under creation settings set for the moment.
int MakeFontTextureGraph(FontRecord* r, HandleValue font) {
    r->cacheGraphLost = 0;
    DrawState& draw = GetDrawState();
    const int32_t savedDepth = draw.colorDepthSetting;
    const int32_t savedAlpha = draw.blankGraphAlpha;
    const int32_t savedAlphaTest = draw.alphaTest;
    const int32_t savedUse3D = draw.use3D;
    const int32_t savedDrawValid = draw.newGraphsDrawValid;
    const bool antialias = (r->type & kFontTypeAntialias) != 0;
    const bool edge = (r->type & kFontTypeEdge) != 0;
    draw.colorDepthSetting = 16;
    draw.blankGraphAlpha = antialias ? 1 : 0;
    draw.alphaTest = antialias ? 0 : 1;
    draw.use3D = 1;
    // The cache is drawn from, never drawn to.
    draw.newGraphsDrawValid = 0;
    const HandleValue graph =
        CreateBlankGraph(edge ? r->cacheWidth * 2 : r->cacheWidth, r->cacheHeight, 0);
    HandleValue edgeGraph = kNoHandle;
    if (graph >= 0 && edge) {
        edgeGraph = DeriveGraph(r->cacheWidth, 0, r->cacheWidth, r->cacheHeight, graph);
    }
    draw.colorDepthSetting = savedDepth;
    draw.blankGraphAlpha = savedAlpha;
    draw.alphaTest = savedAlphaTest;
    draw.use3D = savedUse3D;
    draw.newGraphsDrawValid = savedDrawValid;

    const GraphRecord* record = graph >= 0 ? GetGraphRecord(graph) : nullptr;
    if (record == nullptr || !record->flags.is3D || (edge && edgeGraph < 0)) {
        if (edgeGraph >= 0) DeleteGraphHandle(edgeGraph, 0);
        if (graph >= 0) DeleteGraphHandle(graph, 0);
        r->cacheGraph = kNoHandle;
        r->edgeGraph = kNoHandle;
        r->cacheGraphLost = 1;
        return -1;
    }
    r->cacheGraph = graph;
    r->edgeGraph = edgeGraph;
    SetGraphDeleteFlagPtr(graph, &r->cacheGraphLost);
    FillGraph(graph, 255, 255, 255, 0);
    ClearFontGlyphCache(font);
    return 0;
}

}  // namespace

int CreateFontCacheGraph(HandleValue font) {
    FontRecord* r = GetFontRecord(font);
    if (r == nullptr) return -1;
    if (r->drawScreenLost == 1 && MakeFontDrawScreen(r, font) != 0) return -1;
    if (r->textureCache && r->cacheGraphLost == 1) {
        // The edge graph of a lost cache graph went with it or is of no use without it.
        if (r->edgeGraph != kNoHandle) DeleteGraphHandle(r->edgeGraph, 0);
        r->edgeGraph = kNoHandle;
        if (MakeFontTextureGraph(r, font) != 0) return -1;
    }
    return 0;
}
