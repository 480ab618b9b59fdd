// The mask module as the drivers graphics and the graph drawing family call: the end of the
// masks and the mask screen's image and surface, and the bracket around every draw.
#pragma once
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/drivers/graph_companion_drivers.h"

extern const MaskDriver kMaskScreens;
extern const MaskBracketDriver kMaskBracket;
