#include "graphics/draw_graph/movie_graph_draw.h"

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/graphs/graph_handle_table.h"

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
