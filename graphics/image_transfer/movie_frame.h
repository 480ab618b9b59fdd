// The frame of a movie as the movie player hands it to its graph: the decoded picture in the
// sample surface's format, and how the movie was opened. CopyMovieFrameToGraph puts it into
// the graph's first piece.
#pragma once
#include <cstdint>

#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"

// MovieFrame::surfaceMode values.
constexpr int32_t kMovieSurfaceScreenFormat = 0;  // system memory in the screen's format
constexpr int32_t kMovieSurfaceOverlay = 1;       // a hardware overlay
constexpr int32_t kMovieSurfaceRgb24 = 2;         // 24-bit RGB in system memory

struct MovieFrame {
    GraphImage image;     // the frame: format, size, pitch and pixels (not owned)
    int32_t surfaceMode;  // kMovieSurface*
    // 1: the colour picture fills the left half of each frame and its alpha picture the right.
    int32_t alpha;
};

// Puts the frame into the graph. A 2D graph's first piece: a frame in the piece's own layout
// is copied row by row; any other (24-bit mode, another pixel layout, an alpha movie) is
// converted through TransferPixels, an alpha movie through TransferImageToSurface2D with its
// two halves as colour and alpha image. A texture graph: each texture piece takes the part of
// the frame under it, converted to the texture's format (an alpha movie's halves as colour and
// alpha image). Only what lies in both the frame and the graph is written. -1 for a graph
// without a piece, a missing frame, or (with a log line) a surface that cannot be locked or
// written; else 0.
int CopyMovieFrameToGraph(const MovieFrame* frame, GraphRecord* graph);

// Copies rows of pixels between two buffers of the same layout: every row the destination and
// the source both have, each as many bytes as both rows hold (width × bytes per pixel of
// each, and no more than either pitch). Returns the bytes copied per row (0 when nothing is
// copied).
int64_t CopyFrameRows(uint8_t* dest, int32_t destPitch, int32_t destWidth, int32_t destHeight,
                      int32_t destBytesPerPixel, const uint8_t* source, int32_t sourcePitch,
                      int32_t sourceWidth, int32_t sourceHeight, int32_t sourceBytesPerPixel);
