#include "system/window_cursor.h"

#include "platform/window/window.h"
#include "system/window_data.h"

int SetMouseCursorVisibility(int wanted) {
    WindowState& window = GetWindowData().window;
    window.cursorWanted = wanted == 1 ? 1 : 0;
    const uint32_t shown = window.cursorWanted;
    if (shown == window.cursorShown) return 0;
    if (shown) {
        while (plat::ShowCursor(true) < 0) {
        }
    } else {
        while (plat::ShowCursor(false) >= 0) {
        }
    }
    if (window.handle != 0) {
        plat::PostMessage(window.handle, plat::WM_SETCURSOR,
                          static_cast<plat::WParam>(window.handle), 0);
    }
    window.cursorShown = shown;
    return 0;
}
