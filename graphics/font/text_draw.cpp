// The graphics layer's string draw: validation, the line's rectangle for the front screen of a
// software screen and for the mask, and the hand-over to the 2D text path; and the default
// font's draw.
#include <algorithm>

#include "base/log.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"

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
    const bool softwareFront = screen.softwareScreen && GetDisplayDepth() != 8 &&
                               draw.drawTarget == kDrawTargetFront;
    const bool lineNeeded = draw.maskActive != 0 || softwareFront;
    const RECT line = LineRect(x, y, *f, draw.drawArea, vertical);
    if (lineNeeded && (vertical ? y >= draw.drawArea.bottom : x >= draw.drawArea.right)) return 0;
    if (softwareFront) ReadBackFrontScreen();

    // Direct3D issue: with the Direct3D device in use the text goes to the Direct3D string
    // drawer (and blend mode 3 is emulated around it); without it every string takes the 2D
    // text path.
    // Fonts have no texture cache here: the mask brackets the whole line.
    if (draw.maskActive) MaskBracketSlot()->beginMaskBracket(&line);
    const int result = DrawString2D(x, y, string, colour, font, edgeColour, vertical);
    if (draw.maskActive) MaskBracketSlot()->endMaskBracket(&line);

    if (softwareFront) ShowFrontDraw(&line);
    return result;
}

int DrawTextDefaultFont(int32_t x, int32_t y, const char* string, uint32_t colour,
                        uint32_t edgeColour) {
    RefreshDefaultFont();
    return DrawTextWithFont(x, y, string, colour, GetDefaultFontHandle(), edgeColour, 0);
}
