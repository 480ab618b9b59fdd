// Desktop events injected through the same route the SDL2 backend uses.
#include "platform/backend/headless/injected_events.h"

#include "platform/window/window_route.h"

namespace plat {

void InjectActivation(WindowHandle window, bool active) { RouteActivation(window, active); }
void InjectMinimized(WindowHandle window, bool minimized) { RouteMinimized(window, minimized); }
void InjectMove(WindowHandle window, int32_t x, int32_t y) { RouteMoved(window, x, y); }
void InjectResize(WindowHandle window, int32_t width, int32_t height) {
    RouteResized(window, width, height);
}
void InjectExpose(WindowHandle window) { RouteExposed(window); }
void InjectClose(WindowHandle window) { RouteClose(window); }
void InjectQuitSignal() { RouteQuitSignal(); }
void InjectKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat) {
    RouteKey(window, virtualKey, down, repeat);
}
void InjectText(WindowHandle window, const std::string& utf8) { RouteText(window, utf8); }
void InjectWheel(WindowHandle window, int notches) { RouteWheel(window, notches); }
void InjectDroppedFiles(WindowHandle window, const std::vector<std::string>& utf8Paths) {
    RouteDroppedFiles(window, utf8Paths);
}
void InjectMouseMove(WindowHandle window, int32_t x, int32_t y) { RouteMouseMove(window, x, y); }
void InjectMouseButton(WindowHandle window, int button, bool down) {
    RouteMouseButton(window, button, down);
}

}  // namespace plat
