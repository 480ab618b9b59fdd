// What the rest of graphics does with the pieces of texture graphs, whose textures the Direct3D
// device (graphics/d3d/) keeps: image transfers, movie frames and glyph caches fill them, and
// the draw target finds the texture a one-piece graph is drawn into. The device's module
// installs its instance while Direct3D is up; without it there are no texture graphs: a
// transfer fails and no piece is found.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "softrender/records/rect.h"

struct GraphImage;
struct GraphRecord;
struct ImageTransferSource;

struct TexturePieceAccessDriver {
    // Every piece of the graph filled from the source at (piece x + x, piece y + y): the
    // graph's top-left lies at (x, y) of the source. 0, or -1 at the first invalid piece or
    // failed transfer.
    int (*transferSourceOffset)(const ImageTransferSource& source, int32_t x, int32_t y,
                                const GraphRecord* graph);
    // rect of the image put at (x, y) of the graph, each piece the destination meets taking
    // its share. 0, or -1 at the first invalid piece or failed transfer.
    int (*transferImageRect)(const GraphImage* image, const RECT* rect, int32_t x, int32_t y,
                             const GraphRecord* graph);
    // The surface-data record holding the piece's texture and the piece's top-left inside that
    // texture; 0, or -1 when the piece does not resolve.
    int (*findPieceTexture)(HandleValue piece, HandleValue* surfaceData, int32_t* textureX,
                            int32_t* textureY);
};

extern const TexturePieceAccessDriver kAbsentTexturePieceAccess;
DriverSlot<TexturePieceAccessDriver>& TexturePieceAccessSlot();
