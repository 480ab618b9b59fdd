// Bringing the library window to the front.
#include "platform/window/window_messages.h"
#include "system/window_system.h"

void BringWindowToForeground(plat::WindowHandle window, int topmost) {
    // The platform has no foreground lock to lift and no input queues to attach: raising the
    // window is enough.
    plat::SetForegroundWindow(window);
    if (topmost == 1) {
        plat::SetWindowPos(window, plat::kInsertTopmost, 0, 0, 0, 0,
                           plat::SWP_NOSIZE | plat::SWP_NOMOVE | plat::SWP_NOREDRAW);
    }
}
