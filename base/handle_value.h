// Handle values: the 32-bit integers by which the library names its records to callers.
//
//   bit 31      always 0 (a negative value is never a handle; -1 means "no handle")
//   bits 27-30  the kind of record (graph, sound, font, ...)
//   bits 16-26  an 11-bit check serial, taken from the kind's counter when the record is made
//   bits 0-15   the slot in the kind's table
//
// A lookup accepts a value only when the kind, the slot bound, the slot's use and the serial
// all match; a slot reused by a newer record thus refuses the stale handle of the old one.
// File handles are not built here: they are a slot index with the top four bits set.
#pragma once
#include <cstdint>

using HandleValue = int32_t;

constexpr HandleValue kNoHandle = -1;

// Kind numbers.
enum HandleKind : int32_t {
    kHandleKindGraph = 1,
    kHandleKindSound = 2,
    kHandleKindMovie = 3,
    kHandleKindFont = 4,
    kHandleKindSurface2D = 5,
    kHandleKindSurface3D = 6,
    kHandleKindSurfaceData = 7,
    kHandleKindAuxBuffer = 8,
    kHandleKindNetConnection = 9,
    kHandleKindStringInput = 10,
    kHandleKindMusic = 11,
};

// Table sizes of the kinds.
constexpr int32_t kMaxGraphHandles = 32768;
constexpr int32_t kMaxSoundHandles = 4096;
constexpr int32_t kMaxMovieHandles = 100;
constexpr int32_t kMaxFontHandles = 40;
constexpr int32_t kMaxSurface2DHandles = 32768;
constexpr int32_t kMaxSurface3DHandles = 65536;
constexpr int32_t kMaxSurfaceDataHandles = 65536;
constexpr int32_t kMaxAuxBufferHandles = 512;
constexpr int32_t kMaxNetConnectionHandles = 4096;
constexpr int32_t kMaxStringInputHandles = 20;
constexpr int32_t kMaxMusicHandles = 256;

constexpr uint32_t kHandleKindMask = 0x78000000u;
constexpr uint32_t kHandleSerialMask = 0x07FF0000u;
constexpr uint32_t kHandleSlotMask = 0x0000FFFFu;
constexpr int kHandleKindShift = 27;
constexpr int kHandleSerialShift = 16;
// Serials run 0..2047; the counter wraps to 0 after 2047.
constexpr uint32_t kHandleSerialMax = 0x7FF;

// The handle of slot `slot` of a kind's table for a record with check serial `serial`.
HandleValue MakeHandleValue(int32_t kind, uint32_t serial, int32_t slot);

// The kind bits' value (0 for a negative value).
int32_t GetHandleKind(HandleValue handle);
// The slot bits (the low 16 bits).
int32_t GetHandleSlot(HandleValue handle);
// The 11-bit check serial.
uint32_t GetHandleSerial(HandleValue handle);

// The slot named by `handle` when it is not negative, has kind `kind` and its slot lies below
// `slotCount`; else -1. The caller then checks that the slot is in use and that its record's
// serial matches (HandleSerialMatches).
int32_t CheckHandleSlot(HandleValue handle, int32_t kind, int32_t slotCount);
// 1 when the record serial `serial` is the one carried by `handle`, else 0.
int HandleSerialMatches(HandleValue handle, uint32_t serial);

// Hands out the next check serial of a kind: returns the counter's value and advances it,
// wrapping to 0 after 2047.
uint32_t TakeHandleSerial(int32_t* counter);
