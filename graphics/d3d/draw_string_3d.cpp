// Text on the Direct3D road: a font whose glyphs are cached in a texture draws each glyph as a
// rectangle of its cache graph on the current draw target; a font with a software cache takes
// the 2D text path.
#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/graph_draw_3d_course.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"

int DrawStringWithFont3D(int32_t x, int32_t y, const char* string, uint32_t colour,
                         HandleValue font, uint32_t edgeColour, int vertical) {
    const FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return -1;
    if (!f->textureCache) return DrawString2D(x, y, string, colour, font, edgeColour, vertical);
    Draw3DCourse course{};
    if (OpenDraw3D(&course) != Draw3DStart::kDraw) return -1;
    if (CreateFontCacheGraph(font) != 0) return -1;
    const RECT area = GetDrawState().drawArea;
    DrawCachedString(1, x, y, 0, 1.0, 1.0, string, colour, nullptr, &area, 1, font, edgeColour,
                     -1, vertical, nullptr);
    return 0;
}
