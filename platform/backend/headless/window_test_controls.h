// Test controls of the window layer: reset, the headless backend's settings, injected desktop
// events (the same route the SDL2 backend uses), the instance lock seen from other processes,
// message-box answers and records, and the system facts. Only tests use them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/system_info.h"
#include "platform/window/window.h"

namespace plat {

// Forgets every window, class, queue, timer, drop, instance lock and setting of the layer,
// and selects the headless backend with its defaults (desktop 1920 x 1080, 32 bits). Call it
// with no other thread using the window layer.
void ResetWindowTestControls();

// ---- headless backend -------------------------------------------------------------------
void SetHeadlessDesktop(int32_t width, int32_t height, int32_t bitsPerPixel);
void FailNextWindowClassRegistrations(int count);
void FailNextWindowCreations(int count);

// ---- desktop events, delivered as the SDL2 backend delivers them -------------------------
// Focus gained or lost: WM_ACTIVATEAPP and WM_ACTIVATE (high word: minimised) are posted,
// only when the state changes.
void InjectActivation(WindowHandle window, bool active);
// Minimised: WM_SIZE (SIZE_MINIMIZED) and, when active, the deactivation with the minimised
// flag. Restored: WM_SIZE (SIZE_RESTORED).
void InjectMinimized(WindowHandle window, bool minimized);
// The user moved or sized the window: WM_MOVE / WM_SIZE when it really changed.
void InjectMove(WindowHandle window, int32_t x, int32_t y);
void InjectResize(WindowHandle window, int32_t width, int32_t height);
// Part of the window was uncovered: it needs painting.
void InjectExpose(WindowHandle window);
// The close button: WM_CLOSE is posted.
void InjectClose(WindowHandle window);
// An interrupt (SIGINT): WM_CLOSE is posted to every window.
void InjectQuitSignal();
// A key went down or up: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt
// (VK_MENU) is held and for Alt and F10 themselves.
void InjectKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat = false);
// Text typed (UTF-8): one WM_CHAR per Shift-JIS byte.
void InjectText(WindowHandle window, const std::string& utf8);
// Wheel notches (positive away from the user): one WM_MOUSEWHEEL of +-120 per notch.
void InjectWheel(WindowHandle window, int notches);
// Files dropped on the window (UTF-8 paths): one WM_DROPFILES with a drop handle.
void InjectDroppedFiles(WindowHandle window, const std::vector<std::string>& utf8Paths);
// The mouse over the window (client coordinates) and its buttons (0 left, 1 right, 2 middle).
void InjectMouseMove(WindowHandle window, int32_t x, int32_t y);
void InjectMouseButton(WindowHandle window, int button, bool down);

// Number of WM_DROPFILES file lists not yet freed with DragFinish.
size_t LiveDroppedFileLists();

// ---- instance lock ------------------------------------------------------------------------
// Directory of the lock files instead of $XDG_RUNTIME_DIR or /tmp (null: back to those).
void SetInstanceLockDirectory(const char* directory);
// Starts a child process that holds the class name's lock until StopInstanceLockHolder; the
// process id, or -1 when it could not take the lock or start.
int StartInstanceLockHolder(const char* className);
void StopInstanceLockHolder(int processId);
// True when a fresh child process could take the class name's lock.
bool ProbeInstanceLockFromChild(const char* className);
// Takes the lock through a second open file description of this process, as another
// instance would; false when it is held. ReleaseSecondInstanceLock gives it back.
bool TakeSecondInstanceLock(const char* className);
void ReleaseSecondInstanceLock(const char* className);

// ---- message boxes ------------------------------------------------------------------------
// The headless answer (IDOK, IDCANCEL, IDYES, IDNO), or 0 to read ZN_ANSWER again.
void SetMessageBoxAnswer(int answer);
struct MessageBoxRecord {
    std::string text;   // Shift-JIS, as given
    std::string title;
    uint32_t type;
    int answer;
};
// The message boxes shown since the last take (at most 64 are kept).
std::vector<MessageBoxRecord> TakeMessageBoxRecords();

// ---- system facts (null or 0: the real value again) ---------------------------------------
void SetOsVersionForTests(const OsVersionInfo* version);
void SetCpuInfoForTests(const CpuInfo* cpu);
void SetMemoryStatusForTests(const MemoryStatus* memory);
void SetOemCodePageForTests(uint32_t codePage);
void FailNextComStarts(int count);

}  // namespace plat
