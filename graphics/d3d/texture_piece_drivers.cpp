// The texture pieces as the graph surface driver of texture graphs: the Direct3D back end
// installs it in TextureSlot while Direct3D is up.
#include "graphics/d3d/texture_pieces.h"

namespace {

void ClearPieceTable() { DeleteAllSurface3DData(); }

}  // namespace

const GraphSurfaceDriver kTexturePieces = {
    .create = CreateGraphTextures,
    .derive = CreateDerivedGraphTextures,
    .release = DeleteGraphTextures,
    .fill = FillGraphTextures,
    .restore = RestoreGraphTextures,
    .clearTables = ClearPieceTable,
};
