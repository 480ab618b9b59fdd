// The auxiliary buffer table (handle kind 8): rows that own one buffer each. Nothing creates a
// row; graphics shut-down empties the table.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

struct AuxBufferRow {
    uint32_t serial;
    void* buffer;      // owned, freed with the row
    uint32_t inUse;    // 1 while the row is taken
};

struct AuxBufferHandleTable {
    AuxBufferRow rows[kMaxAuxBufferHandles];
};

// Frees the row's buffer and clears the row; -1 when the handle does not name a used row.
int DeleteAuxBufferHandle(HandleValue handle);
// Deletes every used row.
int DeleteAllAuxBufferHandles();
