#include "system/window_placement.h"

#include "base/log.h"
#include "base/number_routines.h"
#include "graphics/draw_state/draw_state.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "platform/window/window_messages.h"
#include "system/window_cursor.h"
#include "system/window_data.h"
#include "system/window_styles.h"

using namespace plat;

namespace {

// Marks the window as sized by the library itself for the duration of one call: the WM_SIZE
// and WM_MOVE that the call sends do not start another fit of their own.
class LibrarySizing {
public:
    LibrarySizing() : flag_(GetWindowData().window.librarySizing), saved_(flag_) { flag_ = 1; }
    ~LibrarySizing() { flag_ = saved_; }
    LibrarySizing(const LibrarySizing&) = delete;
    LibrarySizing& operator=(const LibrarySizing&) = delete;

private:
    uint32_t& flag_;
    uint32_t saved_;
};

// The desktop as measured at window start-up, else as the platform reports it now.
void DesktopSize(int32_t* width, int32_t* height) {
    const MachineFacts& machine = GetWindowData().machine;
    *width = machine.desktopWidth;
    *height = machine.desktopHeight;
    if (*width <= 0 || *height <= 0) {
        const DesktopInfo desktop = GetDesktopInfo();
        *width = desktop.width;
        *height = desktop.height;
    }
}

// The window's client area in desktop coordinates.
Rect ClientOnDesktop(WindowHandle handle) {
    Rect client = {};
    GetClientRect(handle, &client);
    Point origin{0, 0};
    ClientToScreen(handle, &origin);
    return Rect{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

void ApplyFullScreenStyle(WindowData& data, int32_t screenWidth, int32_t screenHeight) {
    const WindowHandle handle = data.window.handle;
    LogWrite("ウインドウスタイルをフルスクリーンモード用に変更します... ");
    const WindowStylePair style = GetFullScreenStyle();
    SetWindowStyle(handle, style.style, style.exStyle);
    data.window.clientRect = Rect{0, 0, screenWidth, screenHeight};
    if (!data.settings.hiddenWindow) ShowWindow(handle, SW_SHOW);
    UpdateWindow(handle);
    {
        LibrarySizing sizing;
        SetWindowPos(handle, kInsertTopmost, 0, 0, screenWidth, screenHeight, SWP_NOREDRAW);
    }
    SetMouseCursorVisibility(0);
}

void ApplyWindowedStyle(WindowData& data, int32_t screenWidth, int32_t screenHeight) {
    const WindowHandle handle = data.window.handle;
    LogWrite("ウインドウスタイルをウインドウモード用に変更します... ");
    const WindowStylePair style = GetWindowedStyle();
    SetWindowStyle(handle, style.style, style.exStyle);
    const double scale = GetWindowScale();
    // (A tool bar would add its height here; the window has none.)
    Rect rect{0, 0, DoubleToInt(screenWidth * scale), DoubleToInt(screenHeight * scale)};
    AdjustWindowRect(&rect, style.style, style.exStyle);
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    int32_t desktopWidth = 0, desktopHeight = 0;
    DesktopSize(&desktopWidth, &desktopHeight);
    const Point origin = WindowedWindowOrigin(desktopWidth, desktopHeight, width, height);
    {
        LibrarySizing sizing;
        // A window back from full screen stops being the topmost window: its style pair no
        // longer asks for it.
        SetWindowPos(handle, kInsertNotTopmost, origin.x, origin.y, width, height, 0);
        Rect client = ClientOnDesktop(handle);
        // A window larger than the desktop starts its client area at the desktop's corner
        // rather than above or left of it.
        const int32_t shiftX = client.left < 0 ? -client.left : 0;
        const int32_t shiftY = client.top < 0 ? -client.top : 0;
        if (shiftX != 0 || shiftY != 0) {
            SetWindowPos(handle, 0, origin.x + shiftX, origin.y + shiftY, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            client = ClientOnDesktop(handle);
        }
        data.window.clientRect = client;
    }
    SetMouseCursorVisibility(1);
}

}  // namespace

double GetWindowScale() {
    double& scale = GetWindowData().settings.windowScale;
    if (scale == 0.0) scale = 1.0;
    return scale;
}

Point WindowedWindowOrigin(int32_t desktopWidth, int32_t desktopHeight, int32_t windowWidth,
                           int32_t windowHeight) {
    const WindowSettings& settings = GetWindowData().settings;
    if (settings.useWindowPosition == 1) return Point{settings.windowX, settings.windowY};
    return Point{(desktopWidth - windowWidth) / 2, (desktopHeight - windowHeight) / 2};
}

int ApplyWindowModeStyle() {
    WindowData& data = GetWindowData();
    const WindowHandle handle = data.window.handle;
    if (handle == 0) return 0;
    int32_t screenWidth = 0, screenHeight = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);
    if (data.settings.windowed) {
        ApplyWindowedStyle(data, screenWidth, screenHeight);
    } else {
        ApplyFullScreenStyle(data, screenWidth, screenHeight);
    }
    LogWrite("完了\n");
    if (!data.settings.hiddenWindow) SetForegroundWindow(handle);
    PostMessage(handle, WM_SETCURSOR, static_cast<WParam>(handle), 0);
    return 0;
}

int FitWindowToScreen() {
    WindowData& data = GetWindowData();
    const WindowHandle handle = data.window.handle;
    if (handle == 0) return 0;
    const bool windowed = data.settings.windowed != 0;
    const double scale = windowed ? GetWindowScale() : 1.0;
    int32_t screenWidth = 0, screenHeight = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);
    Rect windowRect = {}, client = {};
    GetWindowRect(handle, &windowRect);
    GetClientRect(handle, &client);
    const int32_t frameWidth = (windowRect.right - windowRect.left) - client.right;
    const int32_t frameHeight = (windowRect.bottom - windowRect.top) - client.bottom;
    {
        LibrarySizing sizing;
        MoveWindow(handle, windowRect.left, windowRect.top,
                   DoubleToInt(screenWidth * scale) + frameWidth,
                   DoubleToInt(screenHeight * scale) + frameHeight, true);
    }
    if (windowed) {
        data.window.clientRect = ClientOnDesktop(handle);
        if (data.settings.styleApplied == 0) {
            data.settings.styleApplied = 1;
            ApplyWindowModeStyle();
        }
    }
    return 0;
}
