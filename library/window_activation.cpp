// The activation change of the library window.
#include "system/ime.h"
#include "system/input.h"
#include "library/main_window_proc.h"
#include "system/window_data.h"

void ChangeWindowActivation(plat::WindowHandle /*window*/, uint32_t active,
                            plat::WParam /*wParam*/) {
    WindowData& data = GetWindowData();
    WindowState& window = data.window;
    window.active = active;
    if (window.windowCreating) return;

    if (active) {
        // Becoming active: character input re-opens the IME it had open.
        RequestImeReopen();
        // Lost 2D surfaces and texture pieces are restored here once those parts exist. In full screen after start-up the
        // graphics are reset after the display change (unless the window is minimised, high
        // word of wParam) once the screen exists; in windowed mode graph movies resume once
        // movies exist.
        if (!data.settings.windowed) {
            if (data.clock.started) {
                window.minimizedFullScreen = 0;
                ReacquireInputDevices();
            }
        } else {
            ReacquireInputDevices();
        }
    } else {
        // Becoming inactive: in full screen a lost display mode releases the screen (and,
        // without a graph-restore callback, closes the window) once the screen exists;
        // otherwise graph movies pause (once movies exist) and the input devices are
        // refreshed. The saved picture is redrawn into the window once window modes exist.
        ReacquireInputDevices();
    }
    RefreshPadEffects();

    if (window.activationCallback != nullptr) {
        window.activationCallback(static_cast<int>(active), window.activationData);
    }
    // System keys (systemKeySwitch) would be held back through a keyboard hook here; the
    // platform offers no such hook.
}
