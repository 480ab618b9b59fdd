// Pieces the draw target's files share.
#pragma once
#include "softrender/records/rect.h"
#include "platform/window/window.h"

// The same rectangle as the surface layer takes it.
plat::Rect ToPlatRect(const RECT& r);
