// Slot handling shared by the surface tables (2D views and surface data).
//
// A table here is a struct with `slots` (record pointers, null = free), `count` (records in
// use) and `usedBound` (one past the highest slot in use). New records go at the used bound;
// once it reaches the end of the table the first free slot from the bottom is taken instead.
#pragma once
#include <cstdint>
#include <type_traits>

#include "base/handle_value.h"

// The number of slots of a table type.
template <typename Table>
constexpr int32_t kTableSlotCount = static_cast<int32_t>(std::extent_v<decltype(Table::slots)>);

// The record of `kind` named by `handle` in `table`, or null when the handle is not a live one.
template <typename Table>
std::remove_extent_t<decltype(Table::slots)> GetSlotRecord(Table& table, HandleValue handle,
                                                           int32_t kind) {
    const int32_t slot = CheckHandleSlot(handle, kind, kTableSlotCount<Table>);
    if (slot < 0) return nullptr;
    auto* record = table.slots[slot];
    if (record == nullptr || !HandleSerialMatches(handle, record->serial)) return nullptr;
    return record;
}

// The slot a new record goes in. The caller has checked that the table is not full.
template <typename Table>
int32_t FindFreeSlot(const Table& table) {
    int32_t slot = table.usedBound;
    if (slot == kTableSlotCount<Table>) {
        slot = 0;
        while (table.slots[slot] != nullptr) ++slot;
    }
    return slot;
}

// Counts the record just stored in `slot` as in use.
template <typename Table>
void CountSlotInUse(Table& table, int32_t slot) {
    ++table.count;
    if (slot == table.usedBound) ++table.usedBound;
}

// Frees `slot` of a counted record (the record itself is the caller's to free) and lowers the
// used bound when it was the highest slot in use.
template <typename Table>
void ReleaseSlot(Table& table, int32_t slot) {
    table.slots[slot] = nullptr;
    --table.count;
    if (slot != table.usedBound - 1) return;
    if (table.count == 0) {
        table.usedBound = 0;
        return;
    }
    int32_t bound = slot;
    while (bound > 0 && table.slots[bound - 1] == nullptr) --bound;
    table.usedBound = bound;
}
