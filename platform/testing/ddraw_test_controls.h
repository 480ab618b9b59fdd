// Test controls of the surface layer (ddraw.h): the video-memory budget, row padding, losing
// surfaces, injected failures, a log of the calls made and the guard-band check. Only tests
// (and the configuration of a run) use them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/ddraw_call_log.h"

namespace plat {

// Back to the defaults: budget kDefaultVideoMemoryBudget, no row padding, no pending
// failures, call log off and empty, guard violations 0, the desktop's display format. Live
// surfaces are left alone.
void ResetDDrawTestControls();

// Bytes of video memory that surfaces may take in all, kDefaultVideoMemoryBudget at first
// (surfaces already made keep theirs).
void SetVideoMemoryBudget(size_t bytes);
size_t GetVideoMemoryInUse();

// Extra bytes added to every row of surfaces made from now on (on top of the rounding to 8).
void SetSurfacePitchPadding(uint32_t bytes);

// The display format that GetDisplayMode reports (null: the desktop's again).
void OverrideDisplayFormat(const PixelFormat* format);

// Every live surface in video memory (the primary surfaces too) becomes lost. Returns how
// many.
int LoseVideoMemorySurfaces();

// The next count calls of the kind fail: CreateSurface with DDERR_OUTOFMEMORY, Lock and
// GetDC with DDERR_GENERIC.
void FailNextSurfaceCreates(int count);
void FailNextSurfaceLocks(int count);
void FailNextSurfaceGetDCs(int count);

// The call log (records: DDrawCall of ddraw_call_log.h).
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
