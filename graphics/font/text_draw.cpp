// The graphics layer's string draw: validation, the line's rectangle for the front screen of a
// software screen, for the mask and for the subtract emulation of the Direct3D road, and the
// hand-over to the Direct3D text path while the device draws, else to the 2D text path; and
// the default font's draw.
#include <algorithm>

#include "base/log.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/mask/mask_screen.h"

namespace {

// The rectangle a line can cover: from the pen to the draw area's far edge, as deep as the
// line (the font size + 3, or the line height with the edge when that is more), turned for
// vertical text.
RECT LineRect(int32_t x, int32_t y, const FontRecord& f, const RECT& area, int vertical) {
    const int32_t depth = std::max(f.size + 3, f.lineHeight);
    if (vertical) return RECT{x, y, x + depth, area.bottom};
    return RECT{x, y, area.right, y + depth};
}

}  // namespace

int DrawTextWithFont(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
                     uint32_t edgeColour, int vertical) {
    const DrawState& draw = GetDrawState();
    if (string == nullptr || string[0] == '\0') return 0;
    if (draw.drawArea.left >= draw.drawArea.right || draw.drawArea.top >= draw.drawArea.bottom) {
        return 0;
    }
    const FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return LogWrite("フォントハンドル値が異常です\n");
    WindowFactsSlot()->waitWhileInactive();

    const TargetScreen screen = ReadTargetScreen();
    const bool use3D = IsUsing3DDevice() != 0;
    // Direct3D cannot subtract: the destination under the line is inverted before and after
    // an additive draw of the text.
    const bool subtract3D = use3D && draw.blendMode == kBlendSubtract;
    const bool softwareFront = screen.softwareScreen && GetDisplayDepth() != 8 &&
                               draw.drawTarget == kDrawTargetFront;
    const bool lineNeeded = subtract3D || draw.maskActive != 0 || softwareFront;
    const RECT line = LineRect(x, y, *f, draw.drawArea, vertical);
    if (lineNeeded && (vertical ? y >= draw.drawArea.bottom : x >= draw.drawArea.right)) return 0;
    if (softwareFront) ReadBackFrontScreen();

    // A font with a texture cache draws its glyphs as graph draws, each bracketed for the mask
    // on its own; a software cache's line is bracketed as a whole.
    const bool maskBracket = draw.maskActive != 0 && !f->textureCache;
    if (maskBracket) BeginMaskBracket(line);
    int result = 0;
    if (subtract3D) {
        BeginSubtractEmulation(&line);
        result = GraphDraw3DSlot()->drawString3D(x, y, string, colour, font, edgeColour, vertical);
        EndSubtractEmulation(&line);
    } else if (use3D) {
        result = GraphDraw3DSlot()->drawString3D(x, y, string, colour, font, edgeColour, vertical);
    } else {
        result = DrawString2D(x, y, string, colour, font, edgeColour, vertical);
    }
    if (maskBracket) EndMaskBracket(line);

    if (softwareFront) ShowFrontDraw(&line);
    return result;
}

int DrawTextDefaultFont(int32_t x, int32_t y, const char* string, uint32_t colour,
                        uint32_t edgeColour) {
    RefreshDefaultFont();
    return DrawTextWithFont(x, y, string, colour, GetDefaultFontHandle(), edgeColour, 0);
}
