// The SDL2 backend: each window of the core is mirrored by an SDL window, and SDL's events
// go through the core's desktop-event route. SDL is called on the backend thread only.
#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/backend/sdl2/sdl2_keymap.h"
#include "platform/core/text_encoding.h"
#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"
#include "platform/window/window_route.h"

namespace plat {

namespace {

const char kHandleKey[] = "zn.window";

uint32_t WindowFlags(const NativeWindowState& s) {
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if ((s.style & WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;
    if ((s.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    if (s.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    return flags;
}

class Sdl2Backend final : public WindowBackend {
public:
    bool Start() {
#ifdef SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE
        // Closing a window is the program's own business (WM_CLOSE); SDL_QUIT then comes
        // only from an interrupt or terminate signal.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
#endif
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
        SDL_StartTextInput();
        ReadDesktop();
        return true;
    }

    ~Sdl2Backend() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    const char* Name() const override { return "sdl2"; }
    bool ThreadBound() const override { return true; }
    bool AllowClassRegistration() override { return true; }
    bool AllowWindowCreation() override { return true; }

    void* CreateNativeWindow(const NativeWindowState& s) override {
        const std::string title = SjisToUtf8(s.title);
        SDL_Window* window = SDL_CreateWindow(title.c_str(), s.x, s.y, s.width > 0 ? s.width : 1,
                                              s.height > 0 ? s.height : 1, WindowFlags(s));
        if (window == nullptr) {
            std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
            return nullptr;
        }
        SDL_SetWindowData(window, kHandleKey, reinterpret_cast<void*>(s.handle));
        ApplyShow(window, s);
        return window;
    }

    void UpdateNativeWindow(void* native, const NativeWindowState& s, uint32_t changes) override {
        SDL_Window* window = static_cast<SDL_Window*>(native);
        if ((changes & wincore::kNativeTitle) != 0) {
            SDL_SetWindowTitle(window, SjisToUtf8(s.title).c_str());
        }
        if ((changes & wincore::kNativeStyle) != 0) {
            SDL_SetWindowBordered(window, (s.style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
            SDL_SetWindowResizable(window, (s.style & WS_THICKFRAME) != 0 ? SDL_TRUE : SDL_FALSE);
            SDL_SetWindowAlwaysOnTop(window, s.topmost ? SDL_TRUE : SDL_FALSE);
        }
        if ((changes & wincore::kNativeRect) != 0 && !s.minimized && !s.maximized) {
            int x = 0, y = 0, w = 0, h = 0;
            SDL_GetWindowPosition(window, &x, &y);
            SDL_GetWindowSize(window, &w, &h);
            if (x != s.x || y != s.y) SDL_SetWindowPosition(window, s.x, s.y);
            if ((w != s.width || h != s.height) && s.width > 0 && s.height > 0) {
                SDL_SetWindowSize(window, s.width, s.height);
            }
        }
        if ((changes & wincore::kNativeShow) != 0) ApplyShow(window, s);
        if ((changes & wincore::kNativeRaise) != 0) SDL_RaiseWindow(window);
    }

    void DestroyNativeWindow(void* native) override {
        SDL_DestroyWindow(static_cast<SDL_Window*>(native));
    }

    void SetCursorVisible(bool visible) override {
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    void PumpEvents() override {
        // Events are taken first and routed afterwards: a window procedure run by the route
        // may pump again.
        std::vector<SDL_Event> events;
        SDL_Event e;
        while (SDL_PollEvent(&e) != 0) events.push_back(e);
        for (const SDL_Event& event : events) Route(event);
    }

    DesktopInfo Desktop() override {
        if (OnBackendThread()) ReadDesktop();
        return desktop_;
    }

    bool ShowMessageBox(WindowHandle owner, const char* text, const char* title, uint32_t type,
                        int* answer) override {
        if (!OnBackendThread()) return false;
        std::vector<SDL_MessageBoxButtonData> buttons;
        const uint32_t kinds = type & MB_TYPEMASK;
        const uint32_t kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        const uint32_t kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        switch (kinds) {
            case MB_OKCANCEL:
                buttons = {{kReturn, IDOK, "OK"}, {kEscape, IDCANCEL, "キャンセル"}};
                break;
            case MB_YESNOCANCEL:
                buttons = {{kReturn, IDYES, "はい"}, {0, IDNO, "いいえ"}, {kEscape, IDCANCEL, "キャンセル"}};
                break;
            case MB_YESNO:
                buttons = {{kReturn, IDYES, "はい"}, {0, IDNO, "いいえ"}};
                break;
            default:
                buttons = {{kReturn | kEscape, IDOK, "OK"}};
                break;
        }
        uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
        if ((type & 0xF0) == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;
        if ((type & 0xF0) == MB_ICONWARNING) flags = SDL_MESSAGEBOX_WARNING;
#if SDL_VERSION_ATLEAST(2, 0, 12)
        flags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
#endif
        const std::string utf8Text = SjisToUtf8(text);
        const std::string utf8Title = SjisToUtf8(title);
        SDL_MessageBoxData data{};
        data.flags = flags;
        data.window = static_cast<SDL_Window*>(wincore::NativeOf(owner));
        data.title = utf8Title.c_str();
        data.message = utf8Text.c_str();
        data.numbuttons = static_cast<int>(buttons.size());
        data.buttons = buttons.data();
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) != 0) {
            std::fprintf(stderr, "SDL_ShowMessageBox: %s\n", SDL_GetError());
            return false;
        }
        if (pressed < 0) {
            // Closed without a button: Cancel when the box has one.
            if (kinds != MB_OKCANCEL && kinds != MB_YESNOCANCEL) return false;
            pressed = IDCANCEL;
        }
        *answer = pressed;
        return true;
    }

private:
    void ReadDesktop() {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return;
        const int bytes = SDL_BYTESPERPIXEL(mode.format);
        desktop_.width = mode.w;
        desktop_.height = mode.h;
        // A desktop of 4 bytes per pixel is a 32-bit desktop, whatever its unused byte.
        desktop_.bitsPerPixel = bytes == 4 ? 32 : static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
    }

    static void ApplyShow(SDL_Window* window, const NativeWindowState& s) {
        const uint32_t flags = SDL_GetWindowFlags(window);
        if (!s.visible) {
            if ((flags & SDL_WINDOW_SHOWN) != 0) SDL_HideWindow(window);
            return;
        }
        if ((flags & SDL_WINDOW_SHOWN) == 0) SDL_ShowWindow(window);
        if (s.minimized) {
            if ((flags & SDL_WINDOW_MINIMIZED) == 0) SDL_MinimizeWindow(window);
        } else if (s.maximized) {
            if ((flags & SDL_WINDOW_MAXIMIZED) == 0) SDL_MaximizeWindow(window);
        } else if ((flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) != 0) {
            SDL_RestoreWindow(window);
        }
    }

    static WindowHandle HandleOfId(uint32_t windowId) {
        SDL_Window* window = SDL_GetWindowFromID(windowId);
        if (window == nullptr) return 0;
        return reinterpret_cast<WindowHandle>(SDL_GetWindowData(window, kHandleKey));
    }

    static WindowHandle FocusedHandle(uint32_t windowId) {
        WindowHandle handle = windowId != 0 ? HandleOfId(windowId) : 0;
        if (handle == 0) {
            if (SDL_Window* focus = SDL_GetKeyboardFocus()) {
                handle = reinterpret_cast<WindowHandle>(SDL_GetWindowData(focus, kHandleKey));
            }
        }
        return handle;
    }

    void RouteWindowEvent(const SDL_WindowEvent& e) {
        const WindowHandle handle = HandleOfId(e.windowID);
        if (handle == 0) return;
        switch (e.event) {
            case SDL_WINDOWEVENT_EXPOSED: RouteExposed(handle); break;
            case SDL_WINDOWEVENT_MOVED: RouteMoved(handle, e.data1, e.data2); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: RouteResized(handle, e.data1, e.data2); break;
            case SDL_WINDOWEVENT_MINIMIZED: RouteMinimized(handle, true); break;
            case SDL_WINDOWEVENT_MAXIMIZED: RouteMaximized(handle); break;
            case SDL_WINDOWEVENT_RESTORED: RouteRestored(handle); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: RouteActivation(handle, true); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: RouteActivation(handle, false); break;
            case SDL_WINDOWEVENT_CLOSE: RouteClose(handle); break;
            default: break;
        }
    }

    void Route(const SDL_Event& e) {
        switch (e.type) {
            case SDL_WINDOWEVENT:
                RouteWindowEvent(e.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const uint32_t key = VirtualKeyFromScancode(e.key.keysym.scancode);
                if (key != 0) {
                    RouteKey(FocusedHandle(e.key.windowID), key, e.type == SDL_KEYDOWN,
                             e.key.repeat != 0);
                }
                break;
            }
            case SDL_TEXTINPUT:
                RouteText(FocusedHandle(e.text.windowID), e.text.text);
                break;
            case SDL_MOUSEWHEEL: {
                int notches = e.wheel.y;
                if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
                if (notches != 0) RouteWheel(HandleOfId(e.wheel.windowID), notches);
                break;
            }
            case SDL_MOUSEMOTION:
                RouteMouseMove(HandleOfId(e.motion.windowID), e.motion.x, e.motion.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const int button = e.button.button == SDL_BUTTON_LEFT    ? 0
                                   : e.button.button == SDL_BUTTON_RIGHT ? 1
                                   : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                          : -1;
                const WindowHandle handle = HandleOfId(e.button.windowID);
                RouteMouseMove(handle, e.button.x, e.button.y);
                RouteMouseButton(handle, button, e.type == SDL_MOUSEBUTTONDOWN);
                break;
            }
            case SDL_DROPBEGIN:
                dropped_.clear();
                break;
            case SDL_DROPFILE:
                if (e.drop.file != nullptr) {
                    dropped_.emplace_back(e.drop.file);
                    SDL_free(e.drop.file);
                }
                if (dropWindow_ == 0) dropWindow_ = HandleOfId(e.drop.windowID);
                break;
            case SDL_DROPCOMPLETE: {
                WindowHandle handle = HandleOfId(e.drop.windowID);
                if (handle == 0) handle = dropWindow_;
                RouteDroppedFiles(handle, dropped_);
                dropped_.clear();
                dropWindow_ = 0;
                break;
            }
            case SDL_DROPTEXT:
                if (e.drop.file != nullptr) SDL_free(e.drop.file);
                break;
            case SDL_QUIT:
                RouteQuitSignal();
                break;
            default:
                break;
        }
    }

    DesktopInfo desktop_{640, 480, 32};
    std::vector<std::string> dropped_;
    WindowHandle dropWindow_ = 0;
};

}  // namespace

WindowBackend* CreateSdl2Backend() {
    auto* backend = new Sdl2Backend;
    if (!backend->Start()) {
        delete backend;
        return nullptr;
    }
    return backend;
}

}  // namespace plat
