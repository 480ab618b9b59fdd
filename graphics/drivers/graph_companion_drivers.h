// The modules that live beside graphs and follow their life: fonts, mask screens, movies and
// the graph loader. Each supplies its driver while it runs; without it there is nothing of
// its kind to start, end, restore or reload.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphRecord;
struct MEMIMG;
namespace plat {
class DrawSurface;
}

struct FontDriver {
    // Empties the font tables, sets the default-font settings and starts font management.
    void (*startFonts)(int32_t size, int32_t thickness, int32_t type);
    // Re-creates every font after the surfaces were lost.
    void (*recreateAllFonts)();
    // Deletes every font and the default font.
    void (*deleteAllFonts)();
};
extern const FontDriver kAbsentFonts;
DriverSlot<FontDriver>& FontSlot();

// The mask screen as the draw targets below the mask module find it. (Graph management and
// the screen's setup, above the mask module, call it directly.)
struct MaskDriver {
    // The mask screen's software image, drawn into while mask drawing is active, or null.
    MEMIMG* (*maskImage)();
    // The mask screen's DirectDraw surface, drawn into while mask drawing is active, or null.
    plat::DrawSurface* (*maskSurface)();
};
extern const MaskDriver kAbsentMasks;
DriverSlot<MaskDriver>& MaskSlot();

// The mask screen's bracket around one draw while mask drawing is active: the rectangle the
// draw may touch, in target coordinates. The mask module (graphics/mask/) supplies it while
// graph management runs; the graph draws and the draw target's clear and box fill take it. (The
// string draw, above the mask module, brackets a whole line with it directly.)
struct MaskBracketDriver {
    void (*beginMaskBracket)(const RECT* rect);
    void (*endMaskBracket)(const RECT* rect);
};

extern const MaskBracketDriver kAbsentMaskBracket;
DriverSlot<MaskBracketDriver>& MaskBracketSlot();

struct MovieDriver {
    // Opens the file as a movie: its handle, frame size and whether its frames carry alpha
    // (colour left, alpha right), or -1 with a log line.
    HandleValue (*openMovieToGraph)(const char* path, int32_t* width, int32_t* height,
                                    int32_t mode, int32_t* alpha);
    // Closes a movie no graph was made for.
    void (*discardMovie)(HandleValue movie);
    // Ends the link between a graph and the movie that renders into it.
    void (*closeGraphMovieLink)(GraphRecord* graph);
    // Restores those of the movie's surfaces that report lost.
    void (*restoreMovieSurfaces)(HandleValue movie);
    // Around a display change: releases every movie's device objects, keeping its position
    // (0), and builds them again once the display objects exist (0, or -1 when one fails).
    int (*releaseAllMovieObjects)();
    int (*reopenAllMovies)();
};
extern const MovieDriver kAbsentMovies;
DriverSlot<MovieDriver>& MovieSlot();

struct GraphLoaderDriver {
    // Reloads every lost graph that can be reloaded from its file; 0 or -1.
    int (*reloadAllGraphs)();
};
extern const GraphLoaderDriver kAbsentGraphLoader;
DriverSlot<GraphLoaderDriver>& GraphLoaderSlot();

// Graphics' own loader as a driver (RestoreAllGraphs).
extern const GraphLoaderDriver kGraphFileLoader;
