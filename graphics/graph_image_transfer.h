// Decoded images put into the surfaces of graphs: the transfer of a rectangle of an image (and
// its separate alpha image) into a graph's 2D pieces, and the graph-level transfer the load
// road and the reload of lost graphs use.
#pragma once
#include <cstdint>

#include "graphics/graph_handle_table.h"
#include "graphics/graph_image.h"

// For each 2D piece of the graph, the part of the image that the piece shows (the graph's
// top-left corner at (sourceX, sourceY) of the image, moved by the piece's offset) is
// converted into the piece's pixels: software images through TransferGraphImageToMemImg,
// surfaces locked and filled through TransferPixels; then the piece's colour key is applied
// again. Parts of a piece that lie outside the image are left as they are. 0, or -1 (with a
// log line) at the first piece that fails.
int TransferImageToGraph2D(const GraphImage* image, const GraphImage* alphaImage, int32_t sourceX,
                           int32_t sourceY, GraphRecord* graph);

// Records name (null or empty: none) and the current directory as the graph's source, and the
// graph's place (sourceX, sourceY) in the image, then fills the graph's surfaces from the
// image. 0, or -1 for an invalid handle or a failed transfer.
int TransferImageToGraph(const char* name, const GraphImage* image, const GraphImage* alphaImage,
                         int32_t sourceX, int32_t sourceY, HandleValue handle);
