// The saved window picture: while the window is inactive the game stands still inside the
// message pump, so a window that is uncovered or repainted then cannot be drawn by the game.
// When the window goes inactive the picture it shows is kept in a graph of the screen's size,
// and every repaint while it stays inactive puts that picture back into the window. The
// graph goes when the window is active again, and with graph management at the end.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

// Keeps the picture the window shows (the back screen when the game draws there, else the
// front) in the saved-screen graph, made once per inactive spell. Only for a windowed screen
// of a started library with graph management up. 0; -1 when nothing could be kept.
int SaveScreenForRedraw();
// Deletes the saved-screen graph. 0.
int ReleaseSavedScreen();
// The saved-screen graph, or -1 when none is kept.
HandleValue GetSavedScreenGraph();

// Paints the saved picture into the window: the back screen is kept aside in a graph, the
// saved graph drawn over it (stretched when its size is not the screen's) and presented to
// the window without the vertical-blank wait, then the back screen put back; draw target,
// draw area, blend, bright, sampling mode and wait come back as they were. 0 (also at once
// while the library ends); -1 without a saved-screen graph or when the back screen cannot be
// kept aside.
int RedrawSavedScreen();
