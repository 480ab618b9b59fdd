// The texture pieces as the graph surface driver of texture graphs and as the rest of graphics'
// access to their pixels: the Direct3D back end installs both while Direct3D is up.
#include "graphics/d3d/texture_pieces.h"

namespace {

int FindPieceTexture(HandleValue piece, HandleValue* surfaceData, int32_t* textureX,
                     int32_t* textureY) {
    const Surface3DData* record = GetSurface3DData(piece);
    if (record == nullptr) return -1;
    *surfaceData = record->surfaceData;
    *textureX = record->textureX;
    *textureY = record->textureY;
    return 0;
}

}  // namespace

const GraphSurfaceDriver kTexturePieces = {
    .create = CreateGraphTextures,
    .derive = CreateDerivedGraphTextures,
    .release = DeleteGraphTextures,
    .fill = FillGraphTextures,
    .restore = RestoreGraphTextures,
};

const TexturePieceAccessDriver kTexturePieceAccess = {
    .transferSourceOffset = TransferSourceOffsetToGraphTextures,
    .transferImageRect = TransferImageRectToGraphTextures,
    .findPieceTexture = FindPieceTexture,
};
