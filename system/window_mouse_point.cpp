#include "system/window_mouse_point.h"

#include "platform/window/window.h"
#include "system/window_data.h"
#include "system/window_placement.h"

int GetMousePoint(int32_t* x, int32_t* y) {
    plat::Point cursor{0, 0};
    plat::GetCursorPos(&cursor);
    const WindowData& data = GetWindowData();
    int32_t px = cursor.x;
    int32_t py = cursor.y;
    if (data.settings.windowed) {
        // The client area's top-left corner on the desktop (the window has no tool bar, so
        // nothing lies between it and the drawn screen).
        plat::Point origin{0, 0};
        if (data.window.handle != 0) plat::ClientToScreen(data.window.handle, &origin);
        const double scale = GetWindowScale();
        // The conversion to an integer rounds toward zero.
        px = static_cast<int32_t>(static_cast<double>(cursor.x - origin.x) / scale);
        py = static_cast<int32_t>(static_cast<double>(cursor.y - origin.y) / scale);
    }
    if (x != nullptr) *x = px;
    if (y != nullptr) *y = py;
    return 0;
}
