// Internal to the platform layer: the backend under the window core. The core keeps every
// window's state and its messages; a backend only mirrors windows on a display and reports
// what the desktop does to them through the core's desktop-event route (window_route.h).
//
// The backend is chosen on first use among the records the program handed down
// (backend_record.h), from ZN_VIDEO: "headless" selects the headless record's backend, "sdl2"
// the SDL2 record's; unset (or anything else), SDL2 when a display is available (DISPLAY or
// WAYLAND_DISPLAY, and SDL's video starts), else headless. The thread of that first use is the
// backend thread: a thread-bound backend (SDL2) is called on it only, and native changes made
// on other threads wait for its next pump.
#pragma once
#include <cstdint>
#include <string>

#include "platform/core/system_info.h"
#include "platform/window/window.h"

namespace plat {

// What a native window should look like.
struct NativeWindowState {
    WindowHandle handle;
    std::string title;  // Shift-JIS
    int32_t x, y, width, height;
    uint32_t style, exStyle;
    bool visible, minimized, maximized, topmost;
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual const char* Name() const = 0;
    // True when the backend may be called on the backend thread only.
    virtual bool ThreadBound() const = 0;
    // Refusals the headless backend can be told to make (tests).
    virtual bool AllowClassRegistration() = 0;
    virtual bool AllowWindowCreation() = 0;
    // A native window for the state, or null when it cannot be made.
    virtual void* CreateNativeWindow(const NativeWindowState& state) = 0;
    // Applies the changes (NativeChange bits of window_core.h) to a native window.
    virtual void UpdateNativeWindow(void* native, const NativeWindowState& state,
                                    uint32_t changes) = 0;
    virtual void DestroyNativeWindow(void* native) = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // Turns pending desktop events into messages through the route.
    virtual void PumpEvents() = 0;
    virtual DesktopInfo Desktop() = 0;
    // The display's refresh rate in Hz, 0 when the backend does not know it.
    virtual uint32_t RefreshRate() { return 0; }
    // Shows a message box; false when it cannot be shown (the caller falls back).
    virtual bool ShowMessageBox(WindowHandle owner, const char* text, const char* title,
                                uint32_t type, int* answer) = 0;
};

// The backend in use, chosen on first use (which also fixes the backend thread).
WindowBackend& Backend();
bool OnBackendThread();
// True when the calling thread may call the backend now.
bool MayCallBackend();
// Replaces the backend with a fresh one of the headless record and forgets the backend thread
// (tests).
void UseHeadlessBackendForTests();
// Ends the backend in use and forgets it and the backend thread: the next use chooses again
// among the records handed down (tests; no window may be left).
void ForgetBackendForTests();
// Puts the headless backend's settings (desktop, refusals) back to their defaults.
void ResetHeadlessSettings();
// The desktop the headless backend reports (set by the test controls).
void SetHeadlessDesktop(int32_t width, int32_t height, int32_t bitsPerPixel);

}  // namespace plat
