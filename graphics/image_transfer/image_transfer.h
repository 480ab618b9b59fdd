// Pixels put into the 2D surfaces of graphs. A graph on the 2D path keeps its pixels in one or
// more pieces (2D surface records), each with its offset inside the graph; these routines fill
// those pieces from a decoded image (with an optional alpha image) or from GDI bitmaps, when a
// graph is loaded, reloaded after its surfaces were lost, or re-filled from memory.
//
// A piece holds its pixels either in a DirectDraw surface (locked and filled through
// TransferPixels in the surface's format) or in a software image (filled through
// TransferGraphImageToMemImg); either way the piece's colour key is given to its surface again
// afterwards.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "softrender/records/rect.h"

namespace plat {
struct Bitmap;
}

// Where the pixels of a transfer come from: the decoded image (and its alpha image, or null),
// or, with fromBitmap 1, the GDI bitmap (and its alpha bitmap, or null). An alpha image
// without an alpha channel gives its blue channel as the grey level of alpha.
struct ImageTransferSource {
    const GraphImage* image;
    const GraphImage* alphaImage;
    plat::Bitmap* bitmap;
    plat::Bitmap* alphaBitmap;
    int fromBitmap;
};

// A source of a decoded image and its alpha image (null: none).
inline ImageTransferSource ImageSource(const GraphImage* image, const GraphImage* alphaImage) {
    return ImageTransferSource{image, alphaImage, nullptr, nullptr, 0};
}

// The colour key of a paletted software image that shows no transparent pixel: palette
// indices run 0..255, so no pixel equals it.
constexpr uint32_t kPalettedNoColorKey = 0xFFFF;

// Transfers sourceRect of the source (null: all of it) to (x, y) of the piece (coordinates
// inside the piece). The rectangle is clipped to the source (and its alpha) and to the piece;
// what falls outside is left alone. With keyToAlpha, pixels of the piece's colour key get
// alpha 0 in pieces with an alpha channel. -1 (with a log line) when no screen is up, the
// piece does not resolve, the source is missing or the surface cannot be locked; else 0.
int TransferImageToSurface2D(const ImageTransferSource& source, const RECT* sourceRect,
                             int32_t x, int32_t y, HandleValue surface2D, int keyToAlpha);
// As TransferImageToSurface2D with (x, y) in graph coordinates: the piece's offset inside the
// graph is subtracted. -1 for an invalid piece handle.
int TransferImageToSurface2DAt(const ImageTransferSource& source, const RECT* sourceRect,
                               int32_t x, int32_t y, HandleValue surface2D, int keyToAlpha);

// Fills every piece of the graph from the source, the graph's top-left corner lying at
// (x, y) of the source. Stops with -1 at the first piece that does not resolve or fails.
int TransferImageToGraph2D(const ImageTransferSource& source, int32_t x, int32_t y,
                           GraphRecord* graph);
// Puts sourceRect of the source (null: all of it) at (x, y) of the graph, touching only the
// pieces the destination rectangle meets, each with the part of the rectangle that falls into
// it. 0, or -1 at the first piece that fails.
int RefillGraph2DFromImage(const ImageTransferSource& source, const RECT* sourceRect, int32_t x,
                           int32_t y, GraphRecord* graph, int keyToAlpha);

// Records name (null or empty: none) and the current directory as the graph's source and
// (x, y) as its place in the image, then fills the graph's surfaces from the image: 2D graphs
// through TransferImageToGraph2D, texture graphs through their texture pieces. 0, or -1 for
// an invalid handle or a failed transfer.
int TransferImageToGraph(const char* name, const GraphImage* image, const GraphImage* alphaImage,
                         int32_t x, int32_t y, HandleValue handle);
