// Texture pieces: a texture graph keeps its pixels in up to 64 textures of power-of-two sides,
// the graph cut into a grid whose sizes are chosen here. Each piece (handle kind 6) names the
// surface-data record (kind 7) holding its texture and carries four prebuilt corner vertices
// with its place in the graph and its texture coordinates. Derived graphs share their parent's
// textures by reference count.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"
#include "graphics/d3d/device.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/image_transfer/image_transfer.h"
#include "softrender/records/rect.h"

struct GraphImage;
struct GraphRecord;

constexpr int32_t kMaxTexturePieces = 65536;
constexpr int32_t kMaxPiecesPerGraph = 64;

struct Surface3DData {
    uint32_t serial;
    int32_t* deleteFlag;         // set to 1 on delete; null = none
    uint16_t x, y;               // top-left inside the graph
    uint16_t textureX, textureY; // top-left inside the texture surface
    uint16_t sourceX, sourceY;   // top-left of the pixels in the graph's source image
    uint16_t width, height;
    TexVertex corners[4];        // top-left, top-right, bottom-left, bottom-right
    uint8_t belowDiagonal[4];    // per corner: on or above the bottom-left to top-right diagonal
    HandleValue owner;           // the graph
    HandleValue surfaceData;     // kind 7 record with the texture
};

struct Surface3DTable {
    Surface3DData* slots[kMaxTexturePieces];
    int32_t count;
    int32_t serialCounter;       // 0..2047
    int32_t usedBound;           // one past the highest slot in use
};

Surface3DTable& GetSurface3DTable();

// --- The piece table --------------------------------------------------------------------------

// A new piece of the graph `owner`: its place (x, y) and size in the graph, where its pixels
// lie in the graph's source image and in its texture. Without a parent a texture of
// textureWidth × textureHeight is made with the graph's creation flags and the draw state's
// transparent colour; with a parent piece its texture is shared (one more reference) and the
// parent's texture and source offsets are added to textureX/Y and sourceX/Y. The handle, or -1
// with a log line (Direct3D not up, table full, no memory, no texture, a place or size that a
// piece cannot hold).
HandleValue AddSurface3DData(int32_t textureWidth, int32_t textureHeight, int32_t x, int32_t y,
                             int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                             HandleValue owner, HandleValue parent, int32_t textureX,
                             int32_t textureY, const GraphRecord* graph);
// The record of a live piece handle, else null.
Surface3DData* GetSurface3DData(HandleValue piece);
// Drops the piece's reference on its texture (the texture goes with the last one) and frees
// the piece; 0 or -1.
int DeleteSurface3DData(HandleValue piece);
// Deletes every piece in the table (Direct3D shut-down, graph management's start-up); 0.
int DeleteAllSurface3DData();
// The texture surface behind a piece, or null.
plat::DrawSurface* GetPieceTextureSurface(HandleValue piece);

// --- Cutting graphs ---------------------------------------------------------------------------

// Piece sizes for a graph side of `size` pixels, from the device's texture side limits and the
// screen width; with `single` one texture is wanted. The number of pieces; out (room for
// kMaxPiecesPerGraph entries) receives the first kMaxPiecesPerGraph sizes. A result above
// kMaxPiecesPerGraph is the number the side would need: the caller refuses it.
int ChooseTextureSizes(int32_t size, int32_t* out, int single);

// Cuts a new graph into pieces with textures of their own; 0 or -1 (no pieces left behind).
int CreateGraphTextures(GraphRecord* graph);
// The pieces of a graph showing (x, y, width, height) of the parent: one derived piece for each
// parent piece the rectangle meets, sharing its texture. 0 or -1 (no pieces left behind).
int CreateDerivedGraphTextures(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                               int32_t height, GraphRecord* parent);
// Deletes the graph's pieces; -1 when Direct3D is not up.
int DeleteGraphTextures(GraphRecord* graph);

// --- Pixels into pieces -----------------------------------------------------------------------

// sourceRect of the source (null: all of it) into the piece's texture at (textureX, textureY)
// of the texture surface. With keyToAlpha, the transparent colour gets alpha 0 in textures
// whose format has alpha and whose source gives none. The rectangle is clipped to the source
// and to the texture. 0, or -1 when Direct3D is not up, the piece does not resolve or the
// pixels cannot be written.
int TransferImageToTexturePiece(const ImageTransferSource& source, const RECT* sourceRect,
                                int32_t textureX, int32_t textureY, HandleValue piece,
                                int keyToAlpha);
// Every piece filled from the image at the piece's source position; each texture's colour key
// given again. 0, or -1 at the first invalid piece or failed transfer.
int TransferImageToGraphTextures(const GraphImage* image, const GraphImage* alphaImage,
                                 const GraphRecord* graph);
// rect of the image put at (x, y) of the graph: each piece the destination meets takes its
// share. 0, or -1 at the first invalid piece or failed transfer.
int TransferImageRectToGraphTextures(const GraphImage* image, const RECT* rect, int32_t x,
                                     int32_t y, const GraphRecord* graph);
// Every piece filled from the source rectangle at (piece x + x, piece y + y) of its size: the
// graph's top-left corner lies at (x, y) of the source. 0, or -1 at the first invalid piece
// or failed transfer.
int TransferImageOffsetToGraphTextures(const GraphImage* image, int32_t x, int32_t y,
                                       const GraphRecord* graph);
// As TransferImageRectToGraphTextures from any transfer source (with its alpha image or GDI
// bitmaps; rect null: all of it), keyToAlpha as for TransferImageToTexturePiece.
int TransferSourceRectToGraphTextures(const ImageTransferSource& source, const RECT* rect,
                                      int32_t x, int32_t y, const GraphRecord* graph,
                                      int keyToAlpha);
// As TransferImageOffsetToGraphTextures from any transfer source (with its alpha image or
// GDI bitmaps).
int TransferSourceOffsetToGraphTextures(const ImageTransferSource& source, int32_t x, int32_t y,
                                        const GraphRecord* graph);
// Sets the alpha bits of every pixel of rect in a surface locked whole (desc from Lock with no
// rectangle): 2-byte pixels OR the alpha mask in; 4-byte pixels OR the alpha mask, or 0xFF
// into the fourth byte when the mask is 0xFF000000. Nothing for a format without alpha. 0.
int ForceOpaqueAlpha(const RECT* rect, const plat::SurfaceDesc* desc);

// --- Pass-throughs ----------------------------------------------------------------------------

// Restores the lost textures of the graph's pieces: the OR of the per-piece results (-1: a
// texture was restored and its pixels must be reloaded, and the graph is flagged lost), or -1
// at an invalid piece or with Direct3D down.
int RestoreGraphTextures(GraphRecord* graph);
// The same for every piece in the table; 0 or -1.
int RestoreAllSurface3DData();
// Fills every texture of the graph with one colour; 0 at once while 3D drawing is suppressed;
// -1 with Direct3D down, at an invalid piece or a failed fill.
int FillGraphTextures(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a);

// The texture pieces as the graph surface driver of texture graphs (TextureSlot while
// Direct3D is up).
extern const GraphSurfaceDriver kTexturePieces;
// The transfers into texture graphs and the lookup of a piece's texture as the rest of graphics
// reaches them (TexturePieceAccessSlot while Direct3D is up).
extern const TexturePieceAccessDriver kTexturePieceAccess;
