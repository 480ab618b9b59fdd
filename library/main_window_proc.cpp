#include "library/main_window_proc.h"

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "platform/window/window_messages.h"
#include "system/ime.h"
#include "system/input_char_queue.h"
#include "net/network.h"
#include "base/log.h"
#include "system/window_data.h"
#include "system/window_placement.h"
#include "system/inactive_window_redraw.h"
#include "sound/music/music_handles.h"

using namespace plat;

namespace {

// WM_SIZING edges (wParam).
constexpr WParam kSizingLeft = 1;
constexpr WParam kSizingRight = 2;
constexpr WParam kSizingTop = 3;
constexpr WParam kSizingBottom = 6;

void OnDestroy() {
    WindowState& window = GetWindowData().window;
    LogWrite("ウインドウが破棄されようとしています\n");
    window.destroyed = 1;
    LogWrite("ソフトを終了する準備が整いました\n");
    if (!window.noQuitMessage) PostQuitMessage(0);
    SetQuitRequested();
}

void OnClose(WindowHandle handle) {
    WindowData& data = GetWindowData();
    LogWrite("ウインドウを閉じようとしています\n");
    if (!data.window.closeKeepsWindow || data.library.ending == 1) DestroyWindow(handle);
    if (data.library.ending == 0) data.library.ending = 4;
}

// The client area moved: remember it, and keep the front screen's place on the desktop and
// the draw area up to date.
void OnMove(WindowHandle handle, LParam lParam) {
    WindowData& data = GetWindowData();
    if (!data.settings.windowed || data.window.modeChangeInProgress) return;
    Rect client = {};
    GetClientRect(handle, &client);
    const int32_t x = SignedLowWord(static_cast<uintptr_t>(lParam));
    const int32_t y = SignedHighWord(static_cast<uintptr_t>(lParam));
    data.window.clientRect = Rect{x, y, x + client.right, y + client.bottom};

    const RECT rect{data.window.clientRect.left, data.window.clientRect.top,
                    data.window.clientRect.right, data.window.clientRect.bottom};
    FollowWindowClientMove(&rect);
}

void OnSize(WParam wParam) {
    WindowData& data = GetWindowData();
    if (wParam == SIZE_MAXIMIZED) {
        if (data.settings.modeChangeSwitch == 1 && !data.window.modeChangeInProgress &&
            !data.window.windowCreating && data.settings.windowed == 1) {
            data.window.modeSwitchPending = 1;
        }
        return;
    }
    // A size the library gave the window itself is not fitted again (that fit could size it
    // once more, and so on); a minimised window has no client area to fit.
    if (wParam == SIZE_MINIMIZED || data.window.librarySizing) return;
    FitWindowToScreen();
}

void OnPaint(WindowHandle handle) {
    WindowData& data = GetWindowData();
    data.window.paintSeen = 1;
    Rect paintRect = {};
    BeginPaint(handle, &paintRect);
    if (data.settings.windowed) {
        data.window.painting = 1;
        // An inactive window gets its saved picture back; else a window whose screen is drawn
        // on the back screen gets the window copy presented at once. (A window of a library
        // that has not started yet keeps what the platform painted.)
        if (!data.window.active && !data.window.windowRedraw && GetSavedScreenGraph() != -1) {
            RedrawSavedScreen();
        } else if (data.clock.started && GetDrawTarget() == kDrawTargetBack) {
            const int vsync = GetVSyncWait();
            SetVSyncWait(0);
            PresentScreenWindowed();
            SetVSyncWait(vsync);
        }
        data.window.painting = 0;
    }
    EndPaint(handle);
}

// A full-screen window on DirectDraw surfaces that comes back (not minimised) after start-up
// may have lost its display to another program: the screen is made anew for the display as it
// is now. (A software screen has nothing to lose.)
// A software screen that gave its display mode back when the window went inactive takes it
// again.
void OnActivatedScreen(bool active, WParam wParam) {
    const WindowData& data = GetWindowData();
    const ScreenState& screen = GetScreenState();
    if (!active || data.window.windowCreating || data.settings.windowed || !data.clock.started ||
        HighWord(wParam) != 0 || !screen.screenReady) {
        return;
    }
    const bool hardware = screen.directDraw != nullptr && !screen.noDirectDraw;
    const bool softwareGaveBack = screen.noDirectDraw && screen.directDraw == nullptr;
    if (hardware || softwareGaveBack) RecreateScreenAfterDisplayChange();
}

// A full-screen window that goes inactive after start-up with a display mode of its own: a
// software screen gives the desktop's mode back and the window is minimised; on DirectDraw
// surfaces the window notes that it lost the display.
void OnDeactivatedScreen(WindowHandle handle) {
    WindowData& data = GetWindowData();
    const ScreenState& screen = GetScreenState();
    if (data.window.windowCreating || data.settings.windowed || !data.clock.started ||
        !screen.screenReady || !screen.displayModeChanged) {
        return;
    }
    if (screen.noDirectDraw) {
        ReleaseDirectDrawObject();
        ShowWindow(handle, SW_MINIMIZE);
    } else if (screen.directDraw != nullptr) {
        data.window.minimizedFullScreen = 1;
    }
}

// Hides the cursor over the window while it is not to be shown.
void OnMouseMessage() {
    if (GetWindowData().window.cursorShown) return;
    while (ShowCursor(false) >= 0) {
    }
}

// A display change: one that the library cannot follow closes the window. Every display
// change but that one is reported to ChangeWindowMode through displayChanged, also while a
// mode change is in progress (the change it waits for).
void OnDisplayChange(WindowHandle handle, WParam wParam, LParam lParam) {
    WindowData& data = GetWindowData();
    WindowState& window = data.window;
    const int32_t width = static_cast<int32_t>(LowWord(static_cast<uintptr_t>(lParam)));
    const int32_t height = static_cast<int32_t>(HighWord(static_cast<uintptr_t>(lParam)));
    const int32_t depth = static_cast<int32_t>(wParam);
    bool closes = false;

    if (data.settings.windowed && !window.modeChangeInProgress) {
        int32_t screenWidth = 0, screenHeight = 0, screenDepth = 0;
        GetScreenModeInfo(&screenWidth, &screenHeight, &screenDepth);
        if (width != screenWidth || height != screenHeight || depth != screenDepth) {
            if (!HasGraphRestoreCallback() || depth == 24 || (depth == 8 && screenDepth != 8) ||
                width < screenWidth || height < screenHeight) {
                LogWrite("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\n");
                LogWrite("またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\n");
                if (!window.closing) {
                    window.closing = 1;
                    PostMessage(handle, WM_CLOSE, 0, 0);
                }
                closes = true;
            }
            if (!closes) {
                // Making the screen anew releases the movies first and re-opens them after.
                ReadScreenColorInfo();
                RecreateScreenAfterDisplayChange();
            }
        }
    }
    if (!closes) window.displayChanged = 1;
}

void OnKeyDown(WParam virtualKey) {
    if (IsInputCharQueueFull()) return;
    const uint8_t c = FindKeyControlChar(static_cast<uint32_t>(virtualKey));
    if (c != 0) QueueInputChar(c);
}

// Typed bytes go through the typed-character pairing: a double-byte character comes as two
// WM_CHAR, and its lead byte is queued only with room for the trail byte.
void OnChar(WParam wParam) {
    const uint8_t c = static_cast<uint8_t>(wParam);
    if (c == 0x0A) {
        QueueTypedChar(0x0D);
    } else if (c >= 0x20 || c == 0x08 || c == 0x09 || c == 0x0D || c == 0x10 || c == 0x1B) {
        QueueTypedChar(c);
    }
}

// Keeps the client area at the screen's aspect ratio while the user sizes the window.
void OnSizing(WindowHandle handle, WParam edge, LParam lParam) {
    WindowData& data = GetWindowData();
    Rect* proposed = reinterpret_cast<Rect*>(lParam);
    if (proposed == nullptr) return;
    Rect windowRect = {}, client = {};
    GetWindowRect(handle, &windowRect);
    GetClientRect(handle, &client);
    const int32_t frameWidth = (windowRect.right - windowRect.left) - (client.right - client.left);
    const int32_t frameHeight = (windowRect.bottom - windowRect.top) - (client.bottom - client.top);
    const int32_t clientWidth = (proposed->right - proposed->left) - frameWidth;
    const int32_t clientHeight = (proposed->bottom - proposed->top) - frameHeight;
    int32_t screenWidth = 0, screenHeight = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);
    if (screenWidth <= 0 || screenHeight <= 0) return;

    bool heightFromWidth;
    if (edge == kSizingLeft || edge == kSizingRight) {
        heightFromWidth = true;
    } else if (edge == kSizingTop || edge == kSizingBottom) {
        heightFromWidth = false;
    } else {
        heightFromWidth = clientHeight / screenHeight < clientWidth / screenWidth;
    }
    if (heightFromWidth) {
        proposed->bottom = proposed->top + clientWidth * screenHeight / screenWidth + frameHeight;
    } else {
        proposed->right = proposed->left + clientHeight * screenWidth / screenHeight + frameWidth;
    }
    data.settings.windowScale =
        static_cast<double>(proposed->right - proposed->left - frameWidth) / screenWidth;
}

}  // namespace

LResult MainWindowProc(WindowHandle handle, uint32_t message, WParam wParam, LParam lParam) {
    WindowData& data = GetWindowData();
    WindowState& window = data.window;
    // (The library always owns its window here: there is no caller's procedure to call first.)
    if (data.settings.userMessageHook != nullptr) {
        data.settings.userMessageHook(handle, message, wParam, lParam);
    }

    switch (message) {
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_MOVE:
            OnMove(handle, lParam);
            break;
        case WM_SIZE:
            OnSize(wParam);
            break;
        case WM_ACTIVATE:
            ChangeWindowActivation(handle, LowWord(wParam) != 0 ? 1 : 0, wParam);
            if (LowWord(wParam) != 0) {
                ReleaseSavedScreen();
                OnActivatedScreen(true, wParam);
            } else {
                OnDeactivatedScreen(handle);
                SaveScreenForRedraw();
                RedrawSavedScreen();
            }
            break;
        case WM_ACTIVATEAPP:
            if (wParam == 0) {
                ChangeWindowActivation(handle, 0, wParam);
                OnDeactivatedScreen(handle);
                SaveScreenForRedraw();
                RedrawSavedScreen();
            }
            break;
        case WM_PAINT:
            OnPaint(handle);
            break;
        case WM_CLOSE:
            OnClose(handle);
            return 0;
        case WM_SETCURSOR:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            OnMouseMessage();
            break;
        case WM_DISPLAYCHANGE:
            OnDisplayChange(handle, wParam, lParam);
            break;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            break;
        case WM_CHAR:
            OnChar(wParam);
            break;
        case WM_SYSCHAR:
            if (wParam == 0x0D && data.settings.modeChangeSwitch != 0) {
                window.modeSwitchPending = 1;
                return 0;
            }
            break;
        case WM_SYSCOMMAND: {
            const WParam command = wParam & 0xFFF0;
            if (command == SC_KEYMENU && window.systemKeySwitch == 1) return 0;
            if (command == SC_MONITORPOWER || command == SC_SCREENSAVE) return 1;
            break;
        }
        case WM_MOUSEWHEEL:
            window.wheelCount += SignedHighWord(wParam) > 0 ? 1 : -1;
            break;
        case WM_SIZING:
            if (data.settings.windowed) OnSizing(handle, wParam, lParam);
            break;
        case WM_MOVING:
            if (!data.settings.windowed && lParam != 0) {
                GetWindowRect(handle, reinterpret_cast<Rect*>(lParam));
            }
            break;
        case WM_DROPFILES:
            StoreDroppedFiles(static_cast<uintptr_t>(wParam));
            break;
        case WM_F10_FLAG:
            window.f10KeyHeld = wParam == 1 ? 1 : 0;
            break;
        case WM_SECOND_INPUT_FLAG:
            window.secondInputFlag = wParam == 1 ? 1 : 0;
            break;
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_SETCONTEXT:
        case WM_IME_NOTIFY:
            return HandleImeMessage(wParam, message, lParam, handle);
        case WM_SOCKET_NOTIFY:
            return HandleSocketMessage(static_cast<uintptr_t>(lParam), wParam);
        case MM_MCINOTIFY:
            HandleMciNotify();
            break;
        // Menu and tool-bar commands (WM_COMMAND) have no owner: this window has neither. A
        // window region (WM_CREATE) is never set.
        default:
            break;
    }
    return DefWindowProc(handle, message, wParam, lParam);
}
