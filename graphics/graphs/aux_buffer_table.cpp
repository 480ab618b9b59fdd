#include "graphics/graphs/aux_buffer_table.h"

#include <cstring>

#include "graphics/graphs/graphics_state.h"
#include "base/tracked_memory.h"

int DeleteAuxBufferHandle(HandleValue handle) {
    AuxBufferHandleTable& table = GetGraphicsState().auxBuffers;
    const int32_t slot = CheckHandleSlot(handle, kHandleKindAuxBuffer, kMaxAuxBufferHandles);
    if (slot < 0) return -1;
    AuxBufferRow& row = table.rows[slot];
    if (row.inUse == 0 || !HandleSerialMatches(handle, row.serial)) return -1;
    if (row.buffer != nullptr) TrackedFree(row.buffer);
    std::memset(&row, 0, sizeof row);
    return 0;
}

int DeleteAllAuxBufferHandles() {
    AuxBufferHandleTable& table = GetGraphicsState().auxBuffers;
    for (int32_t slot = 0; slot < kMaxAuxBufferHandles; ++slot) {
        const AuxBufferRow& row = table.rows[slot];
        if (row.inUse != 1) continue;
        DeleteAuxBufferHandle(MakeHandleValue(kHandleKindAuxBuffer, row.serial, slot));
    }
    return 0;
}
