// The 2D surface table: creating, finding and deleting views.
#include <cstring>

#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_slot_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// Frees a record that never got a handle.
HandleValue Abandon(Surface2DTable& table, int32_t slot, Surface2DRecord* record) {
    TrackedFree(record);
    table.slots[slot] = nullptr;
    return LogWrite("メモリの確保に失敗しました in AddSurface2D \n");
}

}  // namespace

Surface2DTable& GetSurface2DTable() {
    static Surface2DTable table;
    return table;
}

Surface2DRecord* GetSurface2D(HandleValue handle) {
    return GetSlotRecord(GetSurface2DTable(), handle, kHandleKindSurface2D);
}

HandleValue AddSurface2D(int32_t width, int32_t height, int32_t drawOffsetX, int32_t drawOffsetY,
                         HandleValue owner, const Surface2DRecord* parent, int32_t sourceX,
                         int32_t sourceY, const GraphFlagBytes& flags) {
    if (!ScreenSlot()->isNoDirectDraw() && !ScreenSlot()->hasDirectDrawObject()) {
        return LogWrite("ＺＮライブラリが初期化されていません\n");
    }
    Surface2DTable& table = GetSurface2DTable();
    if (table.count >= kMaxSurface2DHandles) {
        return LogWrite("２Ｄグラフィックの量が許容量を越えました\n");
    }
    // Positions and sizes are kept in 16 bits; a view must lie inside its pixels.
    int64_t x = sourceX, y = sourceY;
    if (parent != nullptr) {
        x += parent->sourceX;
        y += parent->sourceY;
        const SurfaceDataRecord* data = GetSurfaceData(parent->surfaceData);
        if (data == nullptr || sourceX < 0 || sourceY < 0 || width <= 0 || height <= 0 ||
            x + width > data->width || y + height > data->height) {
            return LogFormat("派生元の外を指す２Ｄグラフィックは作れません (%d, %d, %d, %d)",
                             sourceX, sourceY, width, height);
        }
    } else if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF || sourceX < 0 ||
               sourceY < 0 || sourceX > 0xFFFF || sourceY > 0xFFFF) {
        return LogFormat("２Ｄグラフィックのサイズが不正です 幅:%d 高さ:%d", width, height);
    }

    const int32_t slot = FindFreeSlot(table);
    auto* record = static_cast<Surface2DRecord*>(ZN_ALLOC_ZERO(sizeof(Surface2DRecord)));
    if (record == nullptr) return LogWrite("メモリの確保に失敗しました in AddSurface2D \n");
    table.slots[slot] = record;

    if (parent != nullptr) {
        if (AddSurfaceDataRef(parent->surfaceData) < 0) return Abandon(table, slot, record);
        record->surfaceData = parent->surfaceData;
    } else {
        record->surfaceData = AddSurfaceData(1, width, height, GetDrawState().colorKey, flags);
        if (record->surfaceData < 0) return Abandon(table, slot, record);
    }
    record->drawOffsetX = static_cast<uint16_t>(drawOffsetX);
    record->drawOffsetY = static_cast<uint16_t>(drawOffsetY);
    record->sourceX = static_cast<uint16_t>(x);
    record->sourceY = static_cast<uint16_t>(y);
    record->width = static_cast<uint16_t>(width);
    record->height = static_cast<uint16_t>(height);
    record->owner = owner;
    record->deleteFlag = nullptr;
    record->serial = TakeHandleSerial(&table.serialCounter);
    CountSlotInUse(table, slot);
    return MakeHandleValue(kHandleKindSurface2D, record->serial, slot);
}

int SetSurface2DDeleteFlagPtr(HandleValue handle, int32_t* flag) {
    Surface2DRecord* record = GetSurface2D(handle);
    if (record == nullptr) return 0;
    record->deleteFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}

int DeleteSurface2D(HandleValue handle) {
    Surface2DRecord* record = GetSurface2D(handle);
    if (record == nullptr) return 0;
    if (ReleaseSurfaceDataRef(record->surfaceData) == 0) DeleteSurfaceData(record->surfaceData);
    Surface2DTable& table = GetSurface2DTable();
    const int32_t slot = GetHandleSlot(handle);
    if (record->deleteFlag != nullptr) *record->deleteFlag = 1;
    TrackedFree(record);
    ReleaseSlot(table, slot);
    return 0;
}

int DeleteAllSurface2D() {
    Surface2DTable& table = GetSurface2DTable();
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const Surface2DRecord* record = table.slots[slot];
        if (record == nullptr) continue;
        DeleteSurface2D(MakeHandleValue(kHandleKindSurface2D, record->serial, slot));
    }
    return 0;
}

void ClearSurfaceTables() {
    DeleteAllSurface2D();
    std::memset(&GetSurface2DTable(), 0, sizeof(Surface2DTable));
    ClearSurfaceDataTable();
}
