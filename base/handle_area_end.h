// The lowering of a handle table's area end once a slot has been emptied, shared by the graph,
// sound, music and network handle tables. The area end is one past the highest used slot, so new
// records go there first while it is below the table size; emptying the top slot moves it down past
// every empty slot below, and an empty table starts again from slot 0.
#pragma once
#include <cstdint>

// `table` has `slots` (record pointers, null when empty), `count` (the records after the
// slot was emptied) and `areaEnd`.
template <typename HandleTable>
void LowerHandleAreaEnd(HandleTable& table, int32_t emptiedSlot) {
    if (table.count == 0) {
        table.areaEnd = 0;
        return;
    }
    if (emptiedSlot + 1 != table.areaEnd) return;
    int32_t end = emptiedSlot;
    while (end > 0 && table.slots[end - 1] == nullptr) --end;
    table.areaEnd = end;
}
