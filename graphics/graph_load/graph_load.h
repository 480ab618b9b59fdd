// The graph load road: files and memory blocks decoded into GraphImages (with the alpha image
// of a "_a" file beside them) and made into graphs, whole or divided into tiles; and the
// reload of graphs whose surfaces were lost.
#pragma once
#include <cstddef>
#include <cstdint>

#include "graphics/codecs/graph_image.h"
#include "base/handle_value.h"
#include "base/data_stream.h"

// Tries the decoders of GraphDecoderTable in order, each from the start of the stream; the
// first that accepts wins. 0, or -1 when none does.
int DecodeGraphImage(DataStream* stream, GraphImage* image);

// Decodes the file at path (fromMemory 0) or the size bytes at memory (fromMemory 1) into
// image. 0, or -1 when it cannot be opened or decoded.
int LoadGraphImage(const char* path, const void* memory, size_t size, int fromMemory,
                   GraphImage* image);

// The colour image and, when there is one, its alpha image: with alphaFromMemory 0 the file
// named like path with "_a" before the extension, with 1 the alpha memory block (none is looked
// for without a block, or for any other value). Returns -1 when the colour image could not be
// decoded, 0 when both were, 1 when only the colour image was.
int LoadGraphImageWithAlpha(const char* path, const void* memory, size_t size, int fromMemory,
                            const void* alphaMemory, size_t alphaSize, int alphaFromMemory,
                            GraphImage* image, GraphImage* alphaImage);

// The name of the alpha file of path into out (size bytes): "_a" before the extension of the
// last path component, or appended when it has none. False when it does not fit.
bool MakeAlphaImageName(const char* path, char* out, size_t size);

// ---- Graphs from images ------------------------------------------------------------------------

// A graph shaped for the image (and its alpha image, or null) and filled from it; the no-use
// masks of both images are recomputed first. The handle, or -1 (nothing is left behind).
HandleValue CreateGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int want3D);
// CreateGraphFromGraphImage(image, null, want3D 1).
HandleValue MakeGraphFromImage(GraphImage* image);
// One graph of the whole image, then total tiles of width × height taken row by row, x count
// per row and y count rows (with mirror 1 the columns run from the right, since the image is
// already mirrored), into handles[0 .. total - 1]; the tiles share the image's pixels. 0 (also
// for a total below 1), or -1 with every handle -1 and nothing left behind when a tile cannot
// be made or total exceeds x count × y count.
int CreateDivGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int32_t total,
                                 int32_t xCount, int32_t yCount, int32_t width, int32_t height,
                                 HandleValue* handles, int want3D, int mirror);

// ---- Loading files into graphs -----------------------------------------------------------------

// The file decoded (with its "_a" alpha image) into one graph that remembers the file for
// reloading; mirror 1 turns the image left to right first. A file no decoder accepts is
// opened as a movie (movieOption: its surface mode) rendering into a graph of its size. The
// handle or -1.
HandleValue LoadGraphFile(const char* path, int want3D, int mirror, int movieOption);
// The file decoded and divided as CreateDivGraphFromGraphImage does; every tile remembers the
// file. 0, or -1 with every handle -1.
int LoadDivGraphFile(const char* path, int32_t total, int32_t xCount, int32_t yCount, int32_t width,
                     int32_t height, HandleValue* handles, int want3D, int mirror);
// The public loads: LoadGraphFile(path, not no3D, 0, 0) and LoadDivGraphFile(..., not no3D, 0).
HandleValue OpenGraphFile(const char* path, int no3D);
int OpenDivGraphFile(const char* path, int32_t total, int32_t xCount, int32_t yCount, int32_t width,
                     int32_t height, HandleValue* handles, int no3D);

// ---- Reloading lost graphs ---------------------------------------------------------------------

// Decodes again the file of every lost graph that has one (in the directory it was loaded
// from; graphs of one file in a row share one decode) and fills its surfaces from its place in
// the image; every lost graph with a file name is then no longer lost, reloaded or not. The
// current directory is kept. Returns 0.
int RestoreAllGraphs();
