// Windows: creation and destruction, placement, showing, title and style, painting state,
// the cursor's display count and the foreground request.
#include "platform/window/window.h"

#include <algorithm>
#include <cstring>

#include "platform/window/instance_lock.h"
#include "platform/core/system_info.h"
#include "platform/core/thread.h"
#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"
#include "platform/window/window_route.h"

namespace plat {

using namespace wincore;

namespace {

constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;

bool RedrawsOnSize(const WindowRecord& w) {
    const CoreState& core = Core();
    if (w.classIndex < 0 || static_cast<size_t>(w.classIndex) >= core.classes.size()) return false;
    return (core.classes[w.classIndex].style & (CS_HREDRAW | CS_VREDRAW)) != 0;
}

void MarkNeedsPaintLocked(WindowRecord& w) {
    w.needsPaint = true;
    if (ThreadQueue* queue = FindQueueLocked(w.ownerThread)) WakeLocked(*queue);
}

// Takes a free slot (growing the table up to its limit); SIZE_MAX when full.
size_t AllocateSlotLocked() {
    CoreState& core = Core();
    for (size_t i = 0; i < core.windows.size(); ++i) {
        if (!core.windows[i].inUse) return i;
    }
    if (core.windows.size() >= kMaxWindows) return SIZE_MAX;
    core.windows.emplace_back();
    return core.windows.size() - 1;
}

}  // namespace

WindowHandle CreateWindow(const char* className, const char* title, uint32_t style,
                          uint32_t exStyle, int32_t x, int32_t y, int32_t width, int32_t height,
                          void* createParam) {
    if (className == nullptr) return 0;
    if (!Backend().AllowWindowCreation()) return 0;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    CoreState& core = Core();
    WindowHandle handle = 0;
    size_t index = 0;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        const int classIndex = FindClassLocked(className);
        if (classIndex < 0) return 0;
        index = AllocateSlotLocked();
        if (index == SIZE_MAX) return 0;
        WindowRecord& w = core.windows[index];
        const uint32_t generation = w.generation;
        w = WindowRecord{};
        w.generation = generation;
        w.inUse = true;
        w.ownerThread = CurrentThreadId();
        w.classIndex = classIndex;
        w.className = className;
        w.proc = core.classes[classIndex].proc;
        w.title = title != nullptr ? title : "";
        w.x = x;
        w.y = y;
        w.width = width;
        w.height = height;
        w.normal = Rect{x, y, x + width, y + height};
        w.style = style & ~WS_VISIBLE;
        w.exStyle = exStyle;
        w.topmost = (exStyle & WS_EX_TOPMOST) != 0;
        w.needsPaint = true;
        w.nativeChanges = kNativeCreate;
        ++core.classes[classIndex].windows;
        SelfQueueLocked();
        handle = HandleOf(index);
    }
    AcquireInstanceLockForWindow(className);
    SyncNativeWindows();

    // A backend that could not make the native window fails the creation (known at once when
    // the native window is made on this thread).
    std::string failedClass;
    bool failed = false;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(handle);
        if (w != nullptr && w->nativeFailed) {
            failedClass = FreeWindowLocked(index);
            failed = true;
        }
    }
    if (failed) {
        ReleaseInstanceLockForWindow(failedClass.c_str());
        return 0;
    }

    CreateStruct create{createParam, className, title, style, exStyle, x, y, width, height};
    if (SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LParam>(&create)) == -1) {
        DestroyWindow(handle);
        return 0;
    }
    if (!IsWindow(handle)) return 0;
    SendMessage(handle, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
    SendMessage(handle, WM_MOVE, 0, MakeLParam(x, y));
    if ((style & WS_VISIBLE) != 0) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : 0;
}

bool DestroyWindow(WindowHandle window) {
    CoreState& core = Core();
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || w->destroying || w->ownerThread != CurrentThreadId()) return false;
        w->destroying = true;
    }
    SendMessage(window, WM_DESTROY, 0, 0);
    SendMessage(window, WM_NCDESTROY, 0, 0);
    std::string className;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        if (FindWindowLocked(window) == nullptr) return true;
        className = FreeWindowLocked(IndexOf(window));
    }
    ReleaseInstanceLockForWindow(className.c_str());
    SyncNativeWindows();
    return true;
}

bool IsWindow(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    return FindWindowLocked(window) != nullptr;
}

uint32_t GetWindowThreadId(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    return w != nullptr ? w->ownerThread : 0;
}

bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint32_t flags) {
    CoreState& core = Core();
    bool moved = false;
    bool sized = false;
    bool maximized = false;
    int32_t nx = 0, ny = 0, nw = 0, nh = 0;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        nx = (flags & SWP_NOMOVE) != 0 ? w->x : x;
        ny = (flags & SWP_NOMOVE) != 0 ? w->y : y;
        nw = (flags & SWP_NOSIZE) != 0 ? w->width : std::max(width, 0);
        nh = (flags & SWP_NOSIZE) != 0 ? w->height : std::max(height, 0);
        moved = nx != w->x || ny != w->y;
        sized = nw != w->width || nh != w->height;
        w->x = nx;
        w->y = ny;
        w->width = nw;
        w->height = nh;
        if (!w->maximized && !w->minimized) w->normal = Rect{nx, ny, nx + nw, ny + nh};
        if (moved || sized) w->nativeChanges |= kNativeRect;
        if (sized && (flags & SWP_NOREDRAW) == 0 && RedrawsOnSize(*w)) MarkNeedsPaintLocked(*w);
        if ((flags & SWP_NOZORDER) == 0 &&
            (insertAfter == kInsertTopmost || insertAfter == kInsertNotTopmost)) {
            const bool topmost = insertAfter == kInsertTopmost;
            if (topmost != w->topmost) {
                w->topmost = topmost;
                w->nativeChanges |= kNativeStyle;
            }
        }
        maximized = w->maximized;
    }
    SyncNativeWindows();
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, SW_SHOWNA);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, SW_HIDE);
    }
    if (moved) SendMessage(window, WM_MOVE, 0, MakeLParam(nx, ny));
    if (sized) {
        SendMessage(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                    MakeLParam(nw, nh));
    }
    return true;
}

bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint) {
    return SetWindowPos(window, 0, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

bool ShowWindow(WindowHandle window, int command) {
    // A maximised window covers the desktop (read before taking the core lock: the backend
    // may be asked).
    const DesktopInfo desktop =
        command == SW_MAXIMIZE ? GetDesktopInfo() : DesktopInfo{0, 0, 0};
    CoreState& core = Core();
    bool wasVisible = false;
    bool wasActive = false;
    bool minimizedNow = false;
    bool restoredNow = false;
    bool maximizedNow = false;
    bool becameVisible = false;
    bool becameHidden = false;
    bool moved = false;
    int32_t width = 0, height = 0, x = 0, y = 0;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        wasVisible = w->visible;
        wasActive = w->active;
        const int32_t oldX = w->x, oldY = w->y;
        switch (command) {
            case SW_HIDE:
                w->visible = false;
                break;
            case SW_SHOWMINIMIZED:
            case SW_MINIMIZE:
            case SW_SHOWMINNOACTIVE:
                w->visible = true;
                if (!w->minimized) {
                    w->minimized = true;
                    minimizedNow = true;
                }
                break;
            case SW_MAXIMIZE:
                w->visible = true;
                if (!w->maximized || w->minimized) {
                    if (!w->maximized) w->normal = Rect{w->x, w->y, w->x + w->width, w->y + w->height};
                    w->maximized = true;
                    w->minimized = false;
                    w->x = 0;
                    w->y = 0;
                    w->width = desktop.width;
                    w->height = desktop.height;
                    maximizedNow = true;
                }
                break;
            case SW_SHOWNORMAL:
            case SW_RESTORE:
                w->visible = true;
                if (w->minimized || w->maximized) {
                    if (w->maximized) {
                        w->x = w->normal.left;
                        w->y = w->normal.top;
                        w->width = w->normal.right - w->normal.left;
                        w->height = w->normal.bottom - w->normal.top;
                    }
                    w->minimized = false;
                    w->maximized = false;
                    restoredNow = true;
                }
                break;
            default:  // SW_SHOW, SW_SHOWNA, SW_SHOWNOACTIVATE
                w->visible = true;
                break;
        }
        becameVisible = !wasVisible && w->visible;
        becameHidden = wasVisible && !w->visible;
        if (becameVisible || restoredNow || maximizedNow) MarkNeedsPaintLocked(*w);
        if (becameVisible || becameHidden || minimizedNow || restoredNow || maximizedNow) {
            w->nativeChanges |= kNativeShow;
            if (restoredNow || maximizedNow) w->nativeChanges |= kNativeRect;
        }
        width = w->width;
        height = w->height;
        x = w->x;
        y = w->y;
        moved = x != oldX || y != oldY;
    }
    SyncNativeWindows();
    if (becameVisible) SendMessage(window, WM_SHOWWINDOW, 1, 0);
    if (becameHidden) SendMessage(window, WM_SHOWWINDOW, 0, 0);
    if (minimizedNow) {
        SendMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
        if (wasActive) RouteActivation(window, false);
    }
    if (moved) SendMessage(window, WM_MOVE, 0, MakeLParam(x, y));
    if (restoredNow) SendMessage(window, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
    if (maximizedNow) SendMessage(window, WM_SIZE, SIZE_MAXIMIZED, MakeLParam(width, height));
    return wasVisible;
}

bool IsWindowVisible(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    return w != nullptr && w->visible;
}

bool IsWindowMinimized(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    return w != nullptr && w->minimized;
}

bool SetForegroundWindow(WindowHandle window) {
    CoreState& core = Core();
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        w->nativeChanges |= kNativeRaise;
    }
    SyncNativeWindows();
    return true;
}

bool SetWindowText(WindowHandle window, const char* title) {
    CoreState& core = Core();
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        w->title = title != nullptr ? title : "";
        w->nativeChanges |= kNativeTitle;
    }
    SyncNativeWindows();
    return true;
}

int GetWindowText(WindowHandle window, char* buffer, size_t size) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return -1;
    if (buffer == nullptr || size == 0) return static_cast<int>(w->title.size());
    const size_t n = std::min(w->title.size(), size - 1);
    std::memcpy(buffer, w->title.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

bool SetWindowStyle(WindowHandle window, uint32_t style, uint32_t exStyle) {
    CoreState& core = Core();
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        w->style = style & ~WS_VISIBLE;
        w->exStyle = exStyle;
        w->nativeChanges |= kNativeStyle;
    }
    SyncNativeWindows();
    return true;
}

bool GetWindowStyle(WindowHandle window, uint32_t* style, uint32_t* exStyle) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    if (style != nullptr) *style = w->style | (w->visible ? WS_VISIBLE : 0u);
    if (exStyle != nullptr) *exStyle = w->exStyle;
    return true;
}

bool AdjustWindowRect(Rect* rect, uint32_t, uint32_t) { return rect != nullptr; }

bool GetWindowRect(WindowHandle window, Rect* rect) {
    if (rect == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    *rect = Rect{w->x, w->y, w->x + w->width, w->y + w->height};
    return true;
}

bool GetClientRect(WindowHandle window, Rect* rect) {
    if (rect == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    *rect = Rect{0, 0, w->width, w->height};
    return true;
}

bool ClientToScreen(WindowHandle window, Point* point) {
    if (point == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    point->x += w->x;
    point->y += w->y;
    return true;
}

// ---- painting ---------------------------------------------------------------------------

bool InvalidateWindow(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    MarkNeedsPaintLocked(*w);
    return true;
}

bool ValidateWindow(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    w->needsPaint = false;
    return true;
}

bool UpdateWindow(WindowHandle window) {
    bool paint = false;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        const WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return false;
        paint = w->needsPaint && w->visible;
    }
    if (paint) SendMessage(window, WM_PAINT, 0, 0);
    return true;
}

bool BeginPaint(WindowHandle window, Rect* paintRect) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    w->needsPaint = false;
    if (paintRect != nullptr) *paintRect = Rect{0, 0, w->width, w->height};
    return true;
}

bool EndPaint(WindowHandle window) { return IsWindow(window); }

// ---- messages to all windows ----------------------------------------------------------------

int PostMessageToAllWindows(uint32_t message, WParam wParam, LParam lParam) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    int reached = 0;
    for (size_t i = 0; i < core.windows.size(); ++i) {
        const WindowRecord& w = core.windows[i];
        if (!w.inUse || w.destroying) continue;
        ThreadQueue* queue = FindQueueLocked(w.ownerThread);
        if (queue == nullptr) continue;
        if (PostLocked(*queue, Message{HandleOf(i), message, wParam, lParam, 0})) ++reached;
    }
    return reached;
}

// ---- cursor -----------------------------------------------------------------------------

int ShowCursor(bool show) {
    CoreState& core = Core();
    int count = 0;
    {
        std::lock_guard<std::mutex> hold(core.mutex);
        const bool before = core.cursorCount >= 0;
        core.cursorCount += show ? 1 : -1;
        count = core.cursorCount;
        if ((count >= 0) != before) core.cursorChanged = true;
    }
    SyncNativeWindows();
    return count;
}

bool GetCursorPos(Point* point) {
    if (point == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    *point = core.cursorPos;
    return true;
}

const char* WindowBackendName() { return Backend().Name(); }

}  // namespace plat
