// The texture piece table: making, finding and deleting pieces, each with its four corner
// vertices built once from its place in the graph and in its texture.
#include "graphics/d3d/texture_pieces.h"

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_slot_table.h"

namespace {

bool FitsU16(int32_t value) { return value >= 0 && value <= 0xFFFF; }

// The corners top-left, top-right, bottom-left, bottom-right: graph positions and texture
// coordinates over a texture of textureWidth × textureHeight.
void BuildCorners(Surface3DData* piece, int32_t textureWidth, int32_t textureHeight) {
    const float scaleU = 1.0f / static_cast<float>(textureWidth);
    const float scaleV = 1.0f / static_cast<float>(textureHeight);
    const float left = piece->x, top = piece->y;
    const float right = static_cast<float>(piece->x + piece->width);
    const float bottom = static_cast<float>(piece->y + piece->height);
    const float u0 = static_cast<float>(piece->textureX) * scaleU;
    const float u1 = static_cast<float>(piece->textureX + piece->width) * scaleU;
    const float v0 = static_cast<float>(piece->textureY) * scaleV;
    const float v1 = static_cast<float>(piece->textureY + piece->height) * scaleV;
    const float xs[4] = {left, right, left, right};
    const float ys[4] = {top, top, bottom, bottom};
    const float us[4] = {u0, u1, u0, u1};
    const float vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        TexVertex& v = piece->corners[i];
        v.x = xs[i];
        v.y = ys[i];
        v.z = 0.0f;
        v.rhw = 1.0f;
        v.diffuse = 0xFFFFFFFFu;
        v.u = us[i];
        v.v = vs[i];
    }
}

}  // namespace

Surface3DTable& GetSurface3DTable() {
    static Surface3DTable table;
    return table;
}

Surface3DData* GetSurface3DData(HandleValue piece) {
    return GetSlotRecord(GetSurface3DTable(), piece, kHandleKindSurface3D);
}

HandleValue AddSurface3DData(int32_t textureWidth, int32_t textureHeight, int32_t x, int32_t y,
                             int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                             HandleValue owner, HandleValue parent, int32_t textureX,
                             int32_t textureY, const GraphRecord* graph) {
    Surface3DTable& table = GetSurface3DTable();
    if (!Direct3DIsUp()) return LogWrite("３Ｄグラフィックエンジンが初期化されていません\n");
    if (table.count >= kMaxTexturePieces) {
        return LogWrite("３Ｄグラフィックの数が許容量を越えました。\n");
    }

    const Surface3DData* parentPiece = nullptr;
    if (parent != kNoHandle) {
        parentPiece = GetSurface3DData(parent);
        if (parentPiece == nullptr) return LogWrite("派生元のテクスチャ片が見つかりません\n");
        textureX += parentPiece->textureX;
        textureY += parentPiece->textureY;
        sourceX += parentPiece->sourceX;
        sourceY += parentPiece->sourceY;
    }
    // The record keeps places and sizes in 16 bits; a piece must show at least one pixel.
    if (!FitsU16(x) || !FitsU16(y) || !FitsU16(textureX) || !FitsU16(textureY) ||
        !FitsU16(sourceX) || !FitsU16(sourceY) || width < 1 || height < 1 || !FitsU16(width) ||
        !FitsU16(height)) {
        return LogFormat("テクスチャ片の位置か大きさが不正です (%d, %d, %d, %d)", x, y, width,
                         height);
    }

    const int32_t slot = FindFreeSlot(table);

    auto* piece = static_cast<Surface3DData*>(ZN_ALLOC_ZERO(sizeof(Surface3DData)));
    if (piece == nullptr) return LogWrite("メモリの確保に失敗しました in AddSurface3DData \n");

    HandleValue data;
    if (parentPiece != nullptr) {
        data = parentPiece->surfaceData;
        if (AddSurfaceDataRef(data) < 0) {
            TrackedFree(piece);
            return LogWrite("派生元のテクスチャが見つかりません\n");
        }
    } else {
        data = AddSurfaceData(1, textureWidth, textureHeight, GetDrawState().colorKey,
                              graph->flags);
        if (data < 0) {
            TrackedFree(piece);
            return -1;
        }
    }
    const SurfaceDataRecord* texture = GetSurfaceData(data);

    piece->deleteFlag = nullptr;
    piece->x = static_cast<uint16_t>(x);
    piece->y = static_cast<uint16_t>(y);
    piece->textureX = static_cast<uint16_t>(textureX);
    piece->textureY = static_cast<uint16_t>(textureY);
    piece->sourceX = static_cast<uint16_t>(sourceX);
    piece->sourceY = static_cast<uint16_t>(sourceY);
    piece->width = static_cast<uint16_t>(width);
    piece->height = static_cast<uint16_t>(height);
    piece->owner = owner;
    piece->surfaceData = data;
    piece->serial = TakeHandleSerial(&table.serialCounter);
    BuildCorners(piece, texture->width, texture->height);

    table.slots[slot] = piece;
    CountSlotInUse(table, slot);
    return MakeHandleValue(kHandleKindSurface3D, piece->serial, slot);
}

int DeleteSurface3DData(HandleValue handle) {
    Surface3DData* piece = GetSurface3DData(handle);
    if (piece == nullptr) return -1;
    Surface3DTable& table = GetSurface3DTable();
    const int32_t slot = GetHandleSlot(handle);

    if (ReleaseSurfaceDataRef(piece->surfaceData) == 0) DeleteSurfaceData(piece->surfaceData);

    ReleaseSlot(table, slot);
    if (piece->deleteFlag != nullptr) *piece->deleteFlag = 1;
    TrackedFree(piece);
    return 0;
}

int DeleteAllSurface3DData() {
    Surface3DTable& table = GetSurface3DTable();
    // The used bound shrinks as the highest pieces go; the walk reads it afresh each step.
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const Surface3DData* piece = table.slots[slot];
        if (piece == nullptr) continue;
        DeleteSurface3DData(MakeHandleValue(kHandleKindSurface3D, piece->serial, slot));
    }
    return 0;
}

plat::DrawSurface* GetPieceTextureSurface(HandleValue handle) {
    const Surface3DData* piece = GetSurface3DData(handle);
    if (piece == nullptr) return nullptr;
    const SurfaceDataRecord* texture = GetSurfaceData(piece->surfaceData);
    return texture != nullptr ? texture->surface : nullptr;
}
