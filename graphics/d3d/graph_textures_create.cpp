// Cutting texture graphs into pieces: a new graph gets a grid of textures of its own, a derived
// graph pieces that share its parent's textures; deletion drops them again.
#include <algorithm>

#include "base/log.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

// One piece to be made: its texture size and its place in the graph.
struct PieceLayout {
    int32_t textureWidth, textureHeight;
    int32_t x, y;
};

int RefuseTooManyPieces() {
    return LogFormat("エラー：画像の分割数が最大数の %d を超えました", kMaxPiecesPerGraph);
}

// Deletes the graph's pieces made so far.
void DropPieces(GraphRecord* graph) {
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        DeleteSurface3DData(graph->surfaces[i]);
        graph->surfaces[i] = kNoHandle;
    }
    graph->surfaceCount = 0;
}

// Marks each corner of the piece that lies on or above the graph's diagonal from bottom-left
// to top-right.
void SetBelowDiagonalFlags(Surface3DData* piece, const GraphRecord* graph) {
    const float height = static_cast<float>(graph->height);
    const float slope = height / static_cast<float>(graph->width);
    for (int i = 0; i < 4; ++i) {
        const TexVertex& corner = piece->corners[i];
        piece->belowDiagonal[i] = height - corner.x * slope >= corner.y ? 1 : 0;
    }
}

// Splits each piece of the grid into square textures for a device that takes only squares: a
// tall texture into squares of its width stacked downward, a wide one into squares of its
// height side by side. Squares lying wholly outside the graph are left out. The number of
// pieces (more than kMaxPiecesPerGraph are counted but not written).
int SplitIntoSquares(const PieceLayout* grid, int count, const GraphRecord* graph,
                     PieceLayout* out) {
    int made = 0;
    for (int i = 0; i < count; ++i) {
        const PieceLayout& piece = grid[i];
        const int32_t side = std::min(piece.textureWidth, piece.textureHeight);
        const int32_t across = (piece.textureWidth + side - 1) / side;
        const int32_t down = (piece.textureHeight + side - 1) / side;
        for (int32_t row = 0; row < down; ++row) {
            for (int32_t column = 0; column < across; ++column) {
                const int64_t x = int64_t{piece.x} + int64_t{column} * side;
                const int64_t y = int64_t{piece.y} + int64_t{row} * side;
                if (x >= graph->width || y >= graph->height) continue;
                if (made < kMaxPiecesPerGraph) {
                    out[made] = PieceLayout{side, side, static_cast<int32_t>(x),
                                            static_cast<int32_t>(y)};
                }
                ++made;
            }
        }
    }
    return made;
}

bool DeviceTakesOnlySquares() {
    return (GetDevice3DState().deviceDesc.triCaps.textureCaps &
            plat::D3DPTEXTURECAPS_SQUAREONLY) != 0;
}

// Appends a newly added piece to the graph's list with its diagonal flags: 0; -1 with every
// piece of the graph dropped when adding it failed (piece < 0).
int KeepPiece(GraphRecord* graph, HandleValue piece) {
    if (piece < 0) {
        DropPieces(graph);
        return -1;
    }
    graph->surfaces[graph->surfaceCount++] = piece;
    SetBelowDiagonalFlags(GetSurface3DData(piece), graph);
    return 0;
}

}  // namespace

int CreateGraphTextures(GraphRecord* graph) {
    if (!Direct3DIsUp()) return -1;
    const int single = graph->flags.drawValid;
    int32_t widths[kMaxPiecesPerGraph];
    int32_t heights[kMaxPiecesPerGraph];
    const int columns = ChooseTextureSizes(graph->width, widths, single);
    const int rows = ChooseTextureSizes(graph->height, heights, single);
    if (int64_t{columns} * rows > kMaxPiecesPerGraph) return RefuseTooManyPieces();

    PieceLayout grid[kMaxPiecesPerGraph];
    int count = 0;
    int32_t y = 0;
    for (int j = 0; j < rows; ++j) {
        int32_t x = 0;
        for (int i = 0; i < columns; ++i) {
            grid[count++] = PieceLayout{widths[i], heights[j], x, y};
            x += widths[i];
        }
        y += heights[j];
    }

    PieceLayout squares[kMaxPiecesPerGraph];
    const PieceLayout* layout = grid;
    if (DeviceTakesOnlySquares()) {
        count = SplitIntoSquares(grid, count, graph, squares);
        if (count > kMaxPiecesPerGraph) return RefuseTooManyPieces();
        layout = squares;
    }

    graph->surfaceCount = 0;
    for (int i = 0; i < count; ++i) {
        const PieceLayout& p = layout[i];
        const HandleValue piece = AddSurface3DData(
            p.textureWidth, p.textureHeight, p.x, p.y,
            std::min(graph->width - p.x, p.textureWidth),
            std::min(graph->height - p.y, p.textureHeight), p.x, p.y, graph->handle, kNoHandle,
            0, 0, graph);
        if (KeepPiece(graph, piece) != 0) return -1;
    }
    return 0;
}

int CreateDerivedGraphTextures(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                               int32_t height, GraphRecord* parent) {
    if (!Direct3DIsUp()) return -1;
    const int64_t right = int64_t{x} + width, bottom = int64_t{y} + height;
    graph->surfaceCount = 0;
    for (int32_t i = 0; i < parent->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const HandleValue parentHandle = parent->surfaces[i];
        const Surface3DData* from = GetSurface3DData(parentHandle);
        if (from == nullptr) {
            DropPieces(graph);
            return -1;
        }
        const int64_t left = std::max<int64_t>(x, from->x);
        const int64_t top = std::max<int64_t>(y, from->y);
        const int64_t pieceRight = std::min<int64_t>(right, int64_t{from->x} + from->width);
        const int64_t pieceBottom = std::min<int64_t>(bottom, int64_t{from->y} + from->height);
        if (left >= pieceRight || top >= pieceBottom) continue;
        // What is cut off the parent piece's top-left moves the texture and source offsets.
        const int32_t cutX = static_cast<int32_t>(left - from->x);
        const int32_t cutY = static_cast<int32_t>(top - from->y);
        const HandleValue piece = AddSurface3DData(
            0, 0, static_cast<int32_t>(left - x), static_cast<int32_t>(top - y),
            static_cast<int32_t>(pieceRight - left), static_cast<int32_t>(pieceBottom - top),
            cutX, cutY, graph->handle, parentHandle, cutX, cutY, graph);
        if (KeepPiece(graph, piece) != 0) return -1;
    }
    return 0;
}

int DeleteGraphTextures(GraphRecord* graph) {
    // The pieces go even while Direct3D is down (between a display change's release and
    // re-acquire), so that none outlives its graph.
    DropPieces(graph);
    return Direct3DIsUp() ? 0 : -1;
}
