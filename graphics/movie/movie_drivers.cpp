// The movie module as the drivers graphics calls it through.
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/movie/movie.h"

namespace {

HandleValue OpenMovieForGraph(const char* path, int32_t* width, int32_t* height, int32_t mode,
                              int32_t* alpha) {
    const HandleValue handle = OpenMovieToGraph(path, width, height, mode);
    const MovieRecord* movie = GetMovieRecord(handle);
    if (alpha != nullptr) *alpha = movie != nullptr ? movie->alpha : 0;
    return handle;
}


void CloseGraphMovieLink(GraphRecord* graph) {
    CloseMovie(graph->handle, graph->movie);
    graph->movie = kNoHandle;
}

// The sample surface lives in system memory and is never lost; a lost one is restored all
// the same, and the next frame fills it again.
void RestoreMovieSurfaces(HandleValue handle) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr || movie->sampleSurface == nullptr) return;
    if (movie->sampleSurface->IsLost() != plat::DD_OK) movie->sampleSurface->Restore();
}

int GetMovieFacts(HandleValue handle, MovieOverlayFacts* out) {
    const MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return 0;
    *out = MovieOverlayFacts{movie->width, movie->height, movie->overlay};
    return 1;
}

void UpdateFrameAtDraw(HandleValue graph) { UpdateMovieFrame(graph, 0); }

// No overlay surfaces exist, so there is nothing to place.
void UpdateOverlay(HandleValue, const RECT*, const RECT*, int) {}

}  // namespace

const MovieDriver kMovieModule = {
    .openMovieToGraph = OpenMovieForGraph,
    .discardMovie = FreeMovie,
    .closeGraphMovieLink = CloseGraphMovieLink,
    .restoreMovieSurfaces = RestoreMovieSurfaces,
    .releaseAllMovieObjects = ReleaseAllMovieObjects,
    .reopenAllMovies = ReopenAllMovies,
};

const MovieDrawDriver kMovieDrawModule = {
    .getMovieFacts = GetMovieFacts,
    .updateMovieFrame = UpdateFrameAtDraw,
    .updateOverlay = UpdateOverlay,
};
