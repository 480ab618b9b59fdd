// The mask module as the drivers the folders below it and beside it call: the mask screen's
// image and surface, and the bracket around every draw.
#pragma once
#include "graphics/drivers/graph_companion_drivers.h"

extern const MaskDriver kMaskScreens;
extern const MaskBracketDriver kMaskBracket;
