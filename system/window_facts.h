// The window system's answers to graphics' questions about the window (WindowFactsDriver):
// installed while the window system runs.
#pragma once

#include "graphics/drivers/window_facts_driver.h"

extern const WindowFactsDriver kWindowSystemFacts;

// The draw area as the caller last asked for it, before any clipping.
RECT GetDrawAreaRequest();
