// The movie side of a graph draw: the frame brought up to date before a draw, and
// ShowMovieOverlay with the placement it works out.
#include "graphics/draw_graph/movie_graph_draw.h"

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen_state.h"

int PrepareMovieGraph(const GraphRecord* graph, int mayOverlay, int32_t scale, int32_t x,
                      int32_t y) {
    if (graph->movie == kNoHandle) return 0;
    const MovieDrawDriver& movies = *MovieDrawSlot();
    MovieOverlayFacts facts{};
    if (!movies.getMovieFacts(graph->movie, &facts)) return 0;
    movies.updateMovieFrame(graph->handle);
    if (!mayOverlay || facts.overlay != 1) return 0;
    ShowMovieOverlay(scale, x, y, graph->movie, 1);
    return 1;
}

int PlaceMovieOverlay(int32_t scale, int32_t x, int32_t y, int32_t movieWidth,
                      int32_t movieHeight, const RECT& screenOnDesktop, const plat::DDCaps& caps,
                      MovieOverlayPlace* out) {
    // A scale below 1 would divide the clipped edges by zero or mirror the overlay, which the
    // hardware cannot show: nothing is placed.
    if (scale < 1 || movieWidth < 1 || movieHeight < 1) return 0;
    RECT source{0, 0, movieWidth, movieHeight};
    const int64_t destW = int64_t{movieWidth} * scale;
    const int64_t destH = int64_t{movieHeight} * scale;
    int64_t left = int64_t{x} + screenOnDesktop.left;
    int64_t top = int64_t{y} + screenOnDesktop.top;
    int64_t right = left + destW;
    int64_t bottom = top + destH;

    // Clipped to the screen's place; each cut moves the same side of the source inward.
    if (left < screenOnDesktop.left) {
        source.left += static_cast<int32_t>((screenOnDesktop.left - left) / scale);
        left = screenOnDesktop.left;
    }
    if (top < screenOnDesktop.top) {
        source.top += static_cast<int32_t>((screenOnDesktop.top - top) / scale);
        top = screenOnDesktop.top;
    }
    if (right > screenOnDesktop.right) {
        source.right -= static_cast<int32_t>((right - screenOnDesktop.right) / scale);
        right = screenOnDesktop.right;
    }
    if (bottom > screenOnDesktop.bottom) {
        source.bottom -= static_cast<int32_t>((bottom - screenOnDesktop.bottom) / scale);
        bottom = screenOnDesktop.bottom;
    }
    if (left >= right || top >= bottom) return 0;

    // The alignment the overlay hardware asks for; a zero value asks for none.
    int64_t keptSourceW = source.right - source.left;
    int64_t keptDestW = destW;
    if ((caps.caps & plat::DDCAPS_ALIGNBOUNDARYSRC) && caps.alignBoundarySrc != 0) {
        const int32_t cut = source.left % static_cast<int32_t>(caps.alignBoundarySrc);
        source.left -= cut;
        keptSourceW -= cut;
    }
    if ((caps.caps & plat::DDCAPS_ALIGNSIZESRC) && caps.alignSizeSrc != 0) {
        source.right -= static_cast<int32_t>(keptSourceW % caps.alignSizeSrc);
    }
    if ((caps.caps & plat::DDCAPS_ALIGNBOUNDARYDEST) && caps.alignBoundaryDest != 0) {
        const int64_t cut = left % caps.alignBoundaryDest;
        left -= cut;
        keptDestW -= cut;
    }
    if ((caps.caps & plat::DDCAPS_ALIGNSIZEDEST) && caps.alignSizeDest != 0) {
        const int64_t cut = keptDestW % caps.alignSizeDest;
        right -= cut;
        keptDestW -= cut;
    }
    if (keptDestW < 1) return 0;
    out->source = source;
    out->dest = RECT{static_cast<int32_t>(left), static_cast<int32_t>(top),
                     static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    return 1;
}

int ShowMovieOverlay(int32_t scale, int32_t x, int32_t y, HandleValue movie, int32_t show) {
    const MovieDrawDriver& movies = *MovieDrawSlot();
    MovieOverlayFacts facts{};
    if (!movies.getMovieFacts(movie, &facts)) return 0;
    RECT screen{};
    GetScreenRectOnDesktop(&screen);
    plat::DDCaps caps{};
    GetDDCaps(&caps);
    MovieOverlayPlace place{};
    if (!PlaceMovieOverlay(scale, x, y, facts.width, facts.height, screen, caps, &place)) return 0;
    if (show == 1) {
        movies.updateOverlay(movie, &place.source, &place.dest, 1);
    } else {
        movies.updateOverlay(movie, nullptr, nullptr, 0);
    }
    return 0;
}
