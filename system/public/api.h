// The library's public entries: the only header the game includes.
//
// Each entry takes the library-wide lock, calls the library routine it is named after (without
// the "Api" prefix) with the same arguments in the same order, releases the lock and returns
// that routine's result unchanged. An entry may be called before ApiInitLibrary; the first
// call of any entry creates the lock.
#pragma once

// The millisecond clock (milliseconds since the process started). The argument is ignored.
int ApiGetMillisecondCount(int unused);

// --- Draw state and graph sizes ---------------------------------------------------------------

// A rectangle of pixels (left, top, right, bottom; right and bottom exclusive), as the library
// defines it.
struct RECT;

// Blend mode 0 none, 1 alpha, 2 add, 3 subtract, 4 multiply; the parameter is clamped to 0..255.
int ApiSetBlendMode(int mode, int param);
// Draw brightness per channel, each clamped to 0..255; 255, 255, 255 draws unchanged.
int ApiSetBrightnessRGB(int r, int g, int b);
// Draw target: -2 the back screen, -4 the front screen, or a graph handle.
int ApiSetDrawTarget(int target);
// Transparent colour of graphs created from now on.
int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b);
// Size of a graph, or of the screen for -2 and -4; either pointer may be null.
int ApiQueryGraphSize(int graph, int* width, int* height);
// Clips rect to clip in place (no lock: it touches no library state).
int ApiClipRectToDrawArea(RECT* rect, const RECT* clip);
