#include "base/handle_value.h"

HandleValue MakeHandleValue(int32_t kind, uint32_t serial, int32_t slot) {
    uint32_t value = (static_cast<uint32_t>(kind) << kHandleKindShift) & kHandleKindMask;
    value |= (serial & kHandleSerialMax) << kHandleSerialShift;
    value |= static_cast<uint32_t>(slot) & kHandleSlotMask;
    return static_cast<HandleValue>(value);
}

int32_t GetHandleKind(HandleValue handle) {
    if (handle < 0) return 0;
    return static_cast<int32_t>((static_cast<uint32_t>(handle) & kHandleKindMask) >>
                                kHandleKindShift);
}

int32_t GetHandleSlot(HandleValue handle) {
    return static_cast<int32_t>(static_cast<uint32_t>(handle) & kHandleSlotMask);
}

uint32_t GetHandleSerial(HandleValue handle) {
    return (static_cast<uint32_t>(handle) & kHandleSerialMask) >> kHandleSerialShift;
}

int32_t CheckHandleSlot(HandleValue handle, int32_t kind, int32_t slotCount) {
    if (handle < 0) return -1;
    if (GetHandleKind(handle) != kind) return -1;
    const int32_t slot = GetHandleSlot(handle);
    if (slot >= slotCount) return -1;
    return slot;
}

int HandleSerialMatches(HandleValue handle, uint32_t serial) {
    return ((serial & kHandleSerialMax) << kHandleSerialShift) ==
                   (static_cast<uint32_t>(handle) & kHandleSerialMask)
               ? 1
               : 0;
}

uint32_t TakeHandleSerial(int32_t* counter) {
    const uint32_t serial = static_cast<uint32_t>(*counter) & kHandleSerialMax;
    ++*counter;
    if (*counter > static_cast<int32_t>(kHandleSerialMax)) *counter = 0;
    return serial;
}
