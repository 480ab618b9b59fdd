// Test controls of the surface layer (ddraw.h): the video-memory budget, row padding, losing
// surfaces, injected failures, a log of the calls made and the guard-band check. Only tests
// (and the configuration of a run) use them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/ddraw.h"

namespace plat {

// Back to the defaults: budget kDefaultVideoMemoryBudget, no row padding, no pending
// failures, call log off and empty, guard violations 0, the desktop's display format. Live
// surfaces are left alone.
void ResetDDrawTestControls();

inline constexpr size_t kDefaultVideoMemoryBudget = 64u << 20;
// Bytes of video memory that surfaces may take in all (surfaces already made keep theirs).
void SetVideoMemoryBudget(size_t bytes);
size_t GetVideoMemoryInUse();

// Extra bytes added to every row of surfaces made from now on (on top of the rounding to 8).
void SetSurfacePitchPadding(uint32_t bytes);

// The display format that GetDisplayMode reports (null: the desktop's again).
void OverrideDisplayFormat(const PixelFormat* format);

// Every live surface in video memory becomes lost. Returns how many.
int LoseVideoMemorySurfaces();
// The byte a restored surface is filled with.
inline constexpr uint8_t kRestoredSurfacePoisonByte = 0xA5;

// The next count calls of the kind fail: CreateSurface with DDERR_OUTOFMEMORY, Lock and
// GetDC with DDERR_GENERIC.
void FailNextSurfaceCreates(int count);
void FailNextSurfaceLocks(int count);
void FailNextSurfaceGetDCs(int count);

// One call of the layer as the log records it.
struct DDrawCall {
    const char* op;        // "CreateSurface", "Lock", "Unlock", "Blt", "BltFast", "SetColorKey",
                           // "GetDC", "ReleaseDC", "Restore", "AddAttachedSurface",
                           // "DeleteAttachedSurface", "Release" (the final one)
    uint32_t surface;      // serial of the surface (SurfaceSerial); the new one for creates
    uint32_t caps;         // CreateSurface: the caps asked for; else 0
    uint32_t flags;        // the call's flags
    bool hasRect;          // rect below is the call's (destination) rectangle
    Rect rect;
    DDResult result;
};
void StartDDrawCallLog();
// The calls recorded since the start or the last take; recording goes on.
std::vector<DDrawCall> TakeDDrawCallLog();
void StopDDrawCallLog();

// A number that names the surface in the call log (1, 2, ... in order of creation).
uint32_t SurfaceSerial(DrawSurface* surface);
// Surfaces made and not yet released.
size_t LiveSurfaceCount();
// Guard bands found overwritten (each also reported on stderr).
uint32_t SurfaceGuardViolations();

}  // namespace plat
