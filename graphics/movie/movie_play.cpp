// Play and pause of a graph's movie, one graph or all of them.
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/movie/movie.h"

namespace {

MovieRecord* GraphMovie(HandleValue graph) {
    const GraphRecord* record = GetGraphRecord(graph);
    return record != nullptr ? GetMovieRecord(record->movie) : nullptr;
}

// Calls fn for every graph whose movie handle is set.
template <class Fn>
void ForEachMovieGraph(Fn fn) {
    const GraphHandleTable& graphs = GetGraphicsState().graphs;
    for (int32_t slot = 0; slot < graphs.areaEnd; ++slot) {
        const GraphRecord* graph = graphs.slots[slot];
        if (graph != nullptr && graph->movie != kNoHandle) fn(graph->handle);
    }
}

}  // namespace

int PlayGraphMovie(HandleValue graph) {
    if (GetGraphRecord(graph) == nullptr) return -1;
    MovieRecord* movie = GraphMovie(graph);
    if (movie == nullptr) return -1;
    if (movie->sampleSurface != nullptr && !movie->playing) {
        movie->multiStream->SetState(plat::StreamState::Run);
        movie->playing = 1;
    }
    return 0;
}

int PauseGraphMovie(HandleValue graph) {
    if (GetGraphRecord(graph) == nullptr) return -1;
    MovieRecord* movie = GraphMovie(graph);
    if (movie == nullptr) return -1;
    if (movie->playing) {
        if (movie->mediaControl != nullptr) movie->mediaControl->Pause();
        movie->playing = 0;
    }
    return 0;
}

int ResumeAllGraphMovies() {
    ForEachMovieGraph([](HandleValue graph) { PlayGraphMovie(graph); });
    return 0;
}

int PauseAllGraphMovies() {
    ForEachMovieGraph([](HandleValue graph) { PauseGraphMovie(graph); });
    return 0;
}
