// Test controls of the window layer: reset, the headless backend's settings, the instance lock
// seen from other processes, message-box answers and records, and the system facts. Only tests
// use them; injected desktop events come with them (injected_events.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/headless/injected_events.h"
#include "platform/window/instance_lock.h"
#include "platform/core/system_info.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"
#include "platform/window/window_backend.h"

namespace plat {

// Forgets every window, class, queue, timer, drop, instance lock and setting of the layer,
// and selects the headless backend with its defaults (desktop 1920 x 1080, 32 bits). Call it
// with no other thread using the window layer.
void ResetWindowTestControls();

// The headless desktop (window_backend.h) and the instance lock's directory and second lock
// (instance_lock.h) are set through those headers, included here.

// True while the window is kept above all windows that are not (the always-on-top state,
// which a window's extended style does not change after creation).
bool IsWindowTopmost(WindowHandle window);

// Puts the mouse cursor at a desktop position (what GetCursorPos reads next), without a
// message to any window: as if it moved there over no window of the program.
void SetCursorPosForTests(int32_t x, int32_t y);

// ---- message boxes ------------------------------------------------------------------------
// The headless answer (IDOK, IDCANCEL, IDYES, IDNO), or 0 to read ZN_ANSWER again.
void SetMessageBoxAnswer(int answer);
// The message boxes shown since the last take (at most 64 are kept).
std::vector<MessageBoxRecord> TakeMessageBoxRecords();

// ---- system facts (null or 0: the real value again) ---------------------------------------
void SetOsVersionForTests(const OsVersionInfo* version);
void SetCpuInfoForTests(const CpuInfo* cpu);
void SetMemoryStatusForTests(const MemoryStatus* memory);
void SetOemCodePageForTests(uint32_t codePage);

// ---- fault switches -----------------------------------------------------------------------
// The headless backend refuses the next count class registrations / window creations.
void FailNextWindowClassRegistrations(int count);
void FailNextWindowCreations(int count);
// The next count COM starts fail.
void FailNextComStarts(int count);

// Number of WM_DROPFILES file lists not yet freed with DragFinish.
size_t LiveDroppedFileLists();

// ---- instance lock held by other processes ------------------------------------------------
// Starts a child process that holds the class name's lock until StopInstanceLockHolder; the
// process id, or -1 when it could not take the lock or start.
int StartInstanceLockHolder(const char* className);
void StopInstanceLockHolder(int processId);
// Ends the lock-holding child processes still running.
void StopAllInstanceLockHolders();
// True when a fresh child process could take the class name's lock.
bool ProbeInstanceLockFromChild(const char* className);

}  // namespace plat
