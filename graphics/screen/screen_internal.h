// Shared between the screen's own files and the screen's setup (graphics/screen_setup/):
// logging with a format, the bounded polls of the raster and the measurements of a mode change.
#pragma once
#include <cstdint>

#include "graphics/screen/screen_state.h"

// Formats into a line piece and writes it as it is (LogWrite: a text ending in "\n" ends the
// line). -1, as every log call.
int LogWriteFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The longest a poll of the raster waits for a state it expects, in milliseconds. A display
// that never reports the state (a stalled or absent raster) cannot hold the caller longer.
constexpr uint32_t kRasterPollLimitMs = 100;
// A clock that does not move while the raster is looked at (a stopped test clock) cannot end a
// poll: the number of looks bounds it as well.
constexpr uint32_t kRasterPollLookLimit = 1u << 20;

// 1 while the raster is in the vertical blank (0 when it cannot be read).
int InVerticalBlank(plat::DirectDraw* dd);

// Polls until the raster's vertical-blank state equals wantBlank, for at most
// kRasterPollLimitMs. With pump set, the message pump runs after each look and ends the poll
// when it reports non-zero; its last result is returned (0 without pumping).
int PollVerticalBlank(plat::DirectDraw* dd, int wantBlank, bool pump);

// The measurements of a mode change on a hardware screen: the faster surface copy, the
// refresh rate and the frame time.
void MeasureSurfaceCopy(ScreenState& s);
void MeasureRefreshRate(ScreenState& s);
void MeasureFrameTime(ScreenState& s);

// The window timer routine of the temporary primary.
void TempPrimaryTimerProc(plat::WindowHandle window, uint32_t message, uintptr_t id,
                          uint32_t time);
