// Desktop events into messages: the one route for the SDL2 backend and the headless test
// controls. Also keeps the key, button and cursor state that the events report.
#include "platform/window/window_route.h"

#include <cstdlib>

#include "platform/window/dropped_files.h"
#include "platform/core/text_encoding.h"
#include "platform/core/thread.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

namespace {

bool Held(const CoreState& core, uint32_t key) { return (core.keys[key & 0xFF] & 0x80) != 0; }

// Key state word of the mouse messages.
WParam MouseKeyStateLocked(const CoreState& core) {
    WParam state = 0;
    if (Held(core, VK_LBUTTON)) state |= MK_LBUTTON;
    if (Held(core, VK_RBUTTON)) state |= MK_RBUTTON;
    if (Held(core, VK_MBUTTON)) state |= MK_MBUTTON;
    if (Held(core, VK_SHIFT)) state |= MK_SHIFT;
    if (Held(core, VK_CONTROL)) state |= MK_CONTROL;
    return state;
}

void PostToOwnerLocked(WindowRecord& w, WindowHandle window, uint32_t message, WParam wParam,
                       LParam lParam) {
    if (ThreadQueue* queue = FindQueueLocked(w.ownerThread)) {
        PostLocked(*queue, Message{window, message, wParam, lParam, 0});
    }
}

}  // namespace

void wincore::DeliverFromDesktop(WindowHandle window, uint32_t message, WParam wParam,
                                 LParam lParam) {
    if (GetWindowThreadId(window) == CurrentThreadId()) {
        SendMessage(window, message, wParam, lParam);
    } else {
        PostMessage(window, message, wParam, lParam);
    }
}

void RouteActivation(WindowHandle window, bool active) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr || w->active == active) return;
    w->active = active;
    const uint32_t minimized = w->minimized ? 1 : 0;
    if (active) {
        PostToOwnerLocked(*w, window, WM_ACTIVATEAPP, 1, 0);
        PostToOwnerLocked(*w, window, WM_ACTIVATE, MakeWParam(WA_ACTIVE, minimized), 0);
    } else {
        PostToOwnerLocked(*w, window, WM_ACTIVATE, MakeWParam(WA_INACTIVE, minimized), 0);
        PostToOwnerLocked(*w, window, WM_ACTIVATEAPP, 0, 0);
    }
}

void RouteMinimized(WindowHandle window, bool minimized) {
    int32_t width = 0, height = 0;
    bool maximized = false;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || w->minimized == minimized) return;
        w->minimized = minimized;
        if (!minimized) {
            w->needsPaint = true;
            if (ThreadQueue* queue = FindQueueLocked(w->ownerThread)) WakeLocked(*queue);
        }
        width = w->width;
        height = w->height;
        maximized = w->maximized;
    }
    if (minimized) {
        DeliverFromDesktop(window, WM_SIZE, SIZE_MINIMIZED, 0);
        RouteActivation(window, false);
    } else {
        DeliverFromDesktop(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                           MakeLParam(width, height));
    }
}

void RouteMaximized(WindowHandle window) {
    int32_t width = 0, height = 0;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || (w->maximized && !w->minimized)) return;
        if (!w->maximized) w->normal = Rect{w->x, w->y, w->x + w->width, w->y + w->height};
        w->maximized = true;
        w->minimized = false;
        width = w->width;
        height = w->height;
    }
    DeliverFromDesktop(window, WM_SIZE, SIZE_MAXIMIZED, MakeLParam(width, height));
}

void RouteRestored(WindowHandle window) {
    bool wasMinimized = false;
    bool wasMaximized = false;
    int32_t width = 0, height = 0;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return;
        wasMinimized = w->minimized;
        if (!wasMinimized && w->maximized) {
            w->maximized = false;
            wasMaximized = true;
            width = w->width;
            height = w->height;
        }
    }
    if (wasMinimized) {
        RouteMinimized(window, false);
    } else if (wasMaximized) {
        DeliverFromDesktop(window, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
    }
}

void RouteMoved(WindowHandle window, int32_t x, int32_t y) {
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || (w->x == x && w->y == y)) return;
        w->x = x;
        w->y = y;
        if (!w->maximized && !w->minimized) {
            w->normal = Rect{x, y, x + w->width, y + w->height};
        }
    }
    DeliverFromDesktop(window, WM_MOVE, 0, MakeLParam(x, y));
}

void RouteResized(WindowHandle window, int32_t width, int32_t height) {
    bool maximized = false;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || (w->width == width && w->height == height)) return;
        w->width = width;
        w->height = height;
        if (!w->maximized && !w->minimized) {
            w->normal = Rect{w->x, w->y, w->x + width, w->y + height};
        }
        maximized = w->maximized;
        const ClassRecord& c = core.classes[w->classIndex];
        if ((c.style & (CS_HREDRAW | CS_VREDRAW)) != 0) {
            w->needsPaint = true;
            if (ThreadQueue* queue = FindQueueLocked(w->ownerThread)) WakeLocked(*queue);
        }
    }
    DeliverFromDesktop(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                       MakeLParam(width, height));
}

void RouteExposed(WindowHandle window) { InvalidateWindow(window); }

void RouteClose(WindowHandle window) { PostMessage(window, WM_CLOSE, 0, 0); }

void RouteQuitSignal() {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    for (size_t i = 0; i < core.windows.size(); ++i) {
        WindowRecord& w = core.windows[i];
        if (w.inUse && !w.destroying) PostToOwnerLocked(w, HandleOf(i), WM_CLOSE, 0, 0);
    }
}

void RouteKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat) {
    const uint32_t key = virtualKey & 0xFF;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const bool wasDown = Held(core, key);
    core.keys[key] = down ? 0x80 : 0;
    const bool alt = Held(core, VK_MENU);
    const bool ctrl = Held(core, VK_CONTROL);
    // Alt combinations, Alt itself and F10 are system keys (not with Ctrl held).
    const bool system = !ctrl && (alt || key == VK_MENU || key == VK_F10);
    const uint32_t message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    // lParam: repeat count 1; bit 29 Alt held; bit 30 the key was down before; bit 31 released.
    uint32_t bits = 1;
    if (alt) bits |= 1u << 29;
    if (!down || wasDown || repeat) bits |= 1u << 30;
    if (!down) bits |= 1u << 31;
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return;
    PostToOwnerLocked(*w, window, message, key, static_cast<LParam>(static_cast<int32_t>(bits)));
}

void RouteText(WindowHandle window, std::string_view utf8) {
    const std::string sjis = Utf8ToSjis(utf8);
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return;
    // A double-byte character comes as two WM_CHAR, lead byte first.
    for (unsigned char c : sjis) PostToOwnerLocked(*w, window, WM_CHAR, c, 1);
}

void RouteWheel(WindowHandle window, int notches) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return;
    const int32_t delta = notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    const WParam wParam = MakeWParam(static_cast<uint32_t>(MouseKeyStateLocked(core)),
                                     static_cast<uint32_t>(delta));
    const LParam lParam = MakeLParam(core.cursorPos.x, core.cursorPos.y);
    for (int i = 0; i < std::abs(notches); ++i) PostToOwnerLocked(*w, window, WM_MOUSEWHEEL, wParam, lParam);
}

void RouteMouseMove(WindowHandle window, int32_t x, int32_t y) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return;
    core.cursorPos = Point{w->x + x, w->y + y};
    const Message move{window, WM_MOUSEMOVE, MouseKeyStateLocked(core), MakeLParam(x, y), 0};
    ThreadQueue* queue = FindQueueLocked(w->ownerThread);
    if (queue == nullptr) return;
    // Moves coalesce: a move still waiting at the end of the queue takes the new position.
    if (!queue->posted.empty() && queue->posted.back().message == WM_MOUSEMOVE &&
        queue->posted.back().window == window) {
        queue->posted.back() = move;
        WakeLocked(*queue);
        return;
    }
    PostLocked(*queue, move);
}

void RouteMouseButton(WindowHandle window, int button, bool down) {
    static const uint32_t kKeys[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    static const uint32_t kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const uint32_t kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    if (button < 0 || button > 2) return;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    core.keys[kKeys[button]] = down ? 0x80 : 0;
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return;
    const LParam at = MakeLParam(core.cursorPos.x - w->x, core.cursorPos.y - w->y);
    PostToOwnerLocked(*w, window, down ? kDown[button] : kUp[button], MouseKeyStateLocked(core), at);
}

void RouteDroppedFiles(WindowHandle window, const std::vector<std::string>& utf8Paths) {
    if (utf8Paths.empty()) return;
    std::vector<std::string> names;
    names.reserve(utf8Paths.size());
    for (const std::string& path : utf8Paths) names.push_back(Utf8ToSjis(path));
    const uintptr_t drop = CreateDrop(std::move(names));
    if (!PostMessage(window, WM_DROPFILES, drop, 0)) DragFinish(drop);
}

// ---- key state --------------------------------------------------------------------------

bool IsKeyDown(uint32_t virtualKey) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    return Held(core, virtualKey);
}

void GetKeyboardSnapshot(uint8_t state[256]) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    for (int i = 0; i < 256; ++i) state[i] = core.keys[i];
}

}  // namespace plat
