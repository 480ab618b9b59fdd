// The surface data table: creating, finding, referencing and deleting records.
#include <cstring>

#include "graphics/drivers/screen_driver.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_slot_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"

SurfaceDataTable& GetSurfaceDataTable() {
    static SurfaceDataTable table;
    return table;
}

SurfaceDataRecord* GetSurfaceData(HandleValue handle) {
    return GetSlotRecord(GetSurfaceDataTable(), handle, kHandleKindSurfaceData);
}

HandleValue AddSurfaceData(int32_t refCount, int32_t width, int32_t height, uint32_t colorKey,
                           const GraphFlagBytes& flags) {
    SurfaceDataTable& table = GetSurfaceDataTable();
    if (table.count >= kMaxSurfaceDataHandles) {
        return LogWrite("サーフェスのデータ数が許容量を越えました。\n");
    }
    // The record keeps its size in 16 bits.
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) {
        return LogFormat("サーフェスのサイズが不正です 幅:%d 高さ:%d", width, height);
    }
    const int32_t slot = FindFreeSlot(table);
    auto* record = static_cast<SurfaceDataRecord*>(ZN_ALLOC_ZERO(sizeof(SurfaceDataRecord)));
    if (record == nullptr) {
        return LogWrite("サーフェス用データを保存するメモリ領域の確保に失敗しました\n");
    }

    record->isTexture = flags.is3D;
    record->alpha = flags.alpha;
    record->drawValid = flags.drawValid;
    record->softImage = flags.softImage;
    record->alphaTest = flags.alphaTest;
    record->colorDepth = flags.colorDepth;
    record->rawImage = flags.rawImage;
    record->paletted = flags.paletted;
    record->width = static_cast<uint16_t>(width);
    record->height = static_cast<uint16_t>(height);
    record->refCount = refCount;
    record->colorKey = colorKey;

    if (!record->isTexture) {
        if (record->alpha == 1 || record->rawImage == 1) record->softImage = 1;
        record->drawValid = 1;
        record->alphaTest = 0;
    } else {
        record->softImage = 0;
        if (record->drawValid == 1 || record->alpha == 1) record->alphaTest = 0;
    }
    record->software = record->softImage == 1 || ScreenSlot()->isScreenSoftwareDrawn() ? 1 : 0;

    record->serial = TakeHandleSerial(&table.serialCounter);
    const HandleValue handle = MakeHandleValue(kHandleKindSurfaceData, record->serial, slot);
    table.slots[slot] = record;
    CountSlotInUse(table, slot);

    if (CreateSurfaceDataSurface(handle) != 0) {
        DeleteSurfaceData(handle);
        return -1;
    }
    ApplySurfaceDataColorKey(handle);
    return handle;
}

int SetSurfaceDataDeleteFlagPtr(HandleValue handle, int32_t* flag) {
    SurfaceDataRecord* record = GetSurfaceData(handle);
    if (record == nullptr) return -1;
    record->deleteFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}

int AddSurfaceDataRef(HandleValue handle) {
    SurfaceDataRecord* record = GetSurfaceData(handle);
    if (record == nullptr) return -1;
    return ++record->refCount;
}

int ReleaseSurfaceDataRef(HandleValue handle) {
    SurfaceDataRecord* record = GetSurfaceData(handle);
    if (record == nullptr) return -1;
    return --record->refCount;
}

int DeleteSurfaceData(HandleValue handle) {
    ReleaseSurfaceDataSurfaces(handle);
    SurfaceDataRecord* record = GetSurfaceData(handle);
    if (record == nullptr) return -1;
    SurfaceDataTable& table = GetSurfaceDataTable();
    const int32_t slot = GetHandleSlot(handle);
    if (record->deleteFlag != nullptr) *record->deleteFlag = 1;
    TrackedFree(record);
    ReleaseSlot(table, slot);
    return 0;
}

void ClearSurfaceDataTable() {
    SurfaceDataTable& table = GetSurfaceDataTable();
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const SurfaceDataRecord* record = table.slots[slot];
        if (record == nullptr) continue;
        DeleteSurfaceData(MakeHandleValue(kHandleKindSurfaceData, record->serial, slot));
    }
    std::memset(&table, 0, sizeof table);
}
