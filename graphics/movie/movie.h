// Movies played into graphs: a file no image decoder takes is opened as a movie whose frames
// are copied into a graph of its size at every draw, while its sound plays through the
// platform's default renderer.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/movie/movie_record.h"

// Opens the file (Shift-JIS path) as a movie: the handle with its frame size in *width and
// *height, or -1 with a log line.
HandleValue OpenMovieToGraph(const char* path, int32_t* width, int32_t* height, int32_t mode);
// Builds the record's streams on its file (also to re-open after a release). 0, or -1 with a
// log line and nothing of the streams left.
int BuildMovieStreams(MovieRecord* movie, const char* path, int32_t* width, int32_t* height,
                      int32_t mode);
// Releases every interface the record holds (the record itself stays).
void ReleaseMovieStreams(MovieRecord* movie);
// Closes the movie of the graph: -1 for a bad graph, 0 (also when movie is -1).
int CloseMovie(HandleValue graph, HandleValue movie);
// Ends a movie: its temporary copy deleted, its streams released, its record freed.
void FreeMovie(HandleValue movie);
MovieRecord* GetMovieRecord(HandleValue movie);

// Brings the graph's frame up to date (force: at once, whatever the timing). 0 or -1.
int UpdateMovieFrame(HandleValue graph, int force);
int PlayGraphMovie(HandleValue graph);
int PauseGraphMovie(HandleValue graph);
int ResumeAllGraphMovies();
int PauseAllGraphMovies();
// Around a display change: the device objects are released (the position kept) and made
// again.
int ReleaseAllMovieObjects();
int ReopenAllMovies();

// The file at path (through the file-access layer, archives included) copied whole into a
// new temporary file whose Shift-JIS path goes to tempPath (plat::kMaxPath bytes). 0, or -1
// with no file left behind (a read or write that comes up short fails the copy).
int CopyMovieToTempFile(const char* path, char* tempPath);
// Moves size bytes from read to write in chunks of at most 1 MB. False when a read or a
// write moves fewer bytes than asked.
using MovieChunkRead = int64_t (*)(void* buffer, size_t size, void* context);
using MovieChunkWrite = int64_t (*)(const void* data, size_t size, void* context);
bool CopyMovieInChunks(int64_t size, MovieChunkRead read, void* readContext,
                       MovieChunkWrite write, void* writeContext);

// The movie module as graphics' drivers: the graph record's movie link and surface restore,
// and the draw family's frame update.
extern const MovieDriver kMovieModule;
extern const MovieDrawDriver kMovieDrawModule;
