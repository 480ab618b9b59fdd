// The draw area narrowed for one draw of a part of a graph, and put back after it.
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"

// The draw area as it was before the narrowing: both forms and the empty flag.
struct SavedDrawArea {
    RECT area;
    float areaF[4];
    int32_t empty;
};

// Narrows the draw area to part clipped to the current area (an inverted part collapses to
// nothing), with the float copy and the empty flag made to match: a part outside the area
// leaves an empty draw area, so that every draw inside answers 0 and draws nothing on either
// road. Returns the area as it was.
SavedDrawArea NarrowDrawArea(const RECT& part);
// Puts back the area NarrowDrawArea returned.
void RestoreDrawArea(const SavedDrawArea& saved);
