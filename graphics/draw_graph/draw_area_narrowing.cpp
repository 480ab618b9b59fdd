#include "graphics/draw_graph/draw_area_narrowing.h"

#include <cstring>

#include "graphics/graphs/draw_state_record.h"

SavedDrawArea NarrowDrawArea(const RECT& part) {
    DrawState& draw = GetDrawState();
    SavedDrawArea saved{};
    saved.area = draw.drawArea;
    std::memcpy(saved.areaF, draw.drawAreaF, sizeof saved.areaF);
    saved.empty = draw.drawAreaEmpty;

    RECT narrowed = part;
    ClipRectInPlace(&narrowed, &saved.area);
    draw.drawArea = narrowed;
    draw.drawAreaF[0] = static_cast<float>(narrowed.left);
    draw.drawAreaF[1] = static_cast<float>(narrowed.top);
    draw.drawAreaF[2] = static_cast<float>(narrowed.right);
    draw.drawAreaF[3] = static_cast<float>(narrowed.bottom);
    draw.drawAreaEmpty =
        saved.empty || narrowed.left >= narrowed.right || narrowed.top >= narrowed.bottom ? 1 : 0;
    return saved;
}

void RestoreDrawArea(const SavedDrawArea& saved) {
    DrawState& draw = GetDrawState();
    draw.drawArea = saved.area;
    std::memcpy(draw.drawAreaF, saved.areaF, sizeof saved.areaF);
    draw.drawAreaEmpty = saved.empty;
}
