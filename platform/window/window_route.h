// Internal to the platform layer: the one route by which desktop events become messages. The
// SDL2 backend reports what the desktop does to its windows here, and the headless test
// controls inject the same events here. Geometry changes are sent at once when reported on
// the owner thread (else posted); activation, close and input are posted.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/window.h"

namespace plat {

void RouteActivation(WindowHandle window, bool active);
void RouteMinimized(WindowHandle window, bool minimized);
void RouteMaximized(WindowHandle window);
// Back from minimised or maximised.
void RouteRestored(WindowHandle window);
void RouteMoved(WindowHandle window, int32_t x, int32_t y);
void RouteResized(WindowHandle window, int32_t width, int32_t height);
void RouteExposed(WindowHandle window);
void RouteClose(WindowHandle window);
// An interrupt or terminate request for the whole program: WM_CLOSE to every window.
void RouteQuitSignal();
void RouteKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat);
void RouteText(WindowHandle window, std::string_view utf8);
void RouteWheel(WindowHandle window, int notches);
void RouteMouseMove(WindowHandle window, int32_t x, int32_t y);
void RouteMouseButton(WindowHandle window, int button, bool down);
void RouteDroppedFiles(WindowHandle window, const std::vector<std::string>& utf8Paths);

}  // namespace plat
