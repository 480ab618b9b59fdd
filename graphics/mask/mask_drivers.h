// The mask module as the drivers graphics and the graph drawing family call: the end of the
// masks, the mask screen's image and surface, its keeping through a mode change and a display
// change, and the bracket around every draw.
#pragma once
#include "graphics/drivers/graph_companion_drivers.h"

extern const MaskDriver kMaskScreens;
extern const MaskBracketDriver kMaskBracket;
