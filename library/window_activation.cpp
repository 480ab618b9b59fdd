// The activation change of the library window.
#include "graphics/movie/movie.h"
#include "graphics/surfaces/surface_2d.h"
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
        // 2D surfaces lost while another program had the display are restored (texture pieces
        // with them once the 3D road exists). In full screen after start-up the window
        // procedure makes the screen anew for the display as it is now; in windowed mode
        // graph movies go on.
        RestoreLostSurface2Ds();
        if (!data.settings.windowed) {
            if (data.clock.started) {
                window.minimizedFullScreen = 0;
                ReacquireInputDevices();
            }
        } else {
            ResumeAllGraphMovies();
            ReacquireInputDevices();
        }
    } else {
        // Becoming inactive: the window procedure releases a full-screen display; graph
        // movies pause and the input devices are refreshed.
        PauseAllGraphMovies();
        ReacquireInputDevices();
    }
    RefreshPadEffects();

    if (window.activationCallback != nullptr) {
        window.activationCallback(static_cast<int>(active), window.activationData);
    }
    // System keys (systemKeySwitch) would be held back through a keyboard hook here; the
    // platform offers no such hook.
}
