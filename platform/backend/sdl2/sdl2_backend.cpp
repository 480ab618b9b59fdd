// The SDL2 backend: each window of the core is mirrored by an SDL window, and SDL's events
// go through the core's desktop-event route. SDL is called on the backend thread only.
//
// The display's picture (platform/display/display.h) is shown in the display window through
// an SDL renderer and a streaming texture, uploaded at most once per pump and only when the
// picture changed. In a full-screen mode the window covers the desktop and the picture is
// scaled to fit with its aspect kept.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/backend/backend_entries.h"
#include "platform/backend/sdl2/sdl2_keymap.h"
#include "platform/backend/sdl2/sdl2_message_box.h"
#include "platform/backend/sdl2/sdl2_text_input.h"
#include "platform/core/text_encoding.h"
#include "platform/display/display.h"
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

    ~Sdl2Backend() override {
        DropRenderer();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

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
        // While the window covers the desktop for a full-screen mode, the core's place and
        // size (the mode's) are not the native window's.
        if (shownFull_ && window == shownWindow_) changes &= ~wincore::kNativeRect;
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
        if (native == shownWindow_) DropRenderer();
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
        if (settlingPumps_ > 0) {
            --settlingPumps_;
            KeepPlaceWhileSettling();
        }
        ShowDisplay();
    }

    uint32_t RefreshRate() override {
        if (OnBackendThread()) {
            SDL_DisplayMode mode{};
            if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) {
                refreshRate_ = static_cast<uint32_t>(mode.refresh_rate);
            }
        }
        return refreshRate_;
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
        // The box drawn with our own fonts first (Japanese texts show on any X server); SDL's
        // own box when that cannot be made.
        std::vector<DrawnMessageBoxButton> drawn;
        for (const SDL_MessageBoxButtonData& b : buttons) {
            drawn.push_back(DrawnMessageBoxButton{b.buttonid, nullptr, (b.flags & kReturn) != 0,
                                                  (b.flags & kEscape) != 0});
        }
        std::vector<std::string> labels;
        for (const SDL_MessageBoxButtonData& b : buttons) labels.push_back(Utf8ToSjis(b.text));
        for (size_t i = 0; i < drawn.size(); ++i) drawn[i].label = labels[i].c_str();
        int drawnAnswer = -1;
        if (ShowDrawnMessageBox(text, title, drawn, &drawnAnswer)) {
            if (drawnAnswer < 0) return false;
            *answer = drawnAnswer;
            return true;
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
    void DropRenderer() {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
        texture_ = nullptr;
        renderer_ = nullptr;
        shownWindow_ = nullptr;
        textureWidth_ = textureHeight_ = 0;
    }

    // Shows the display's picture when it changed since the last pump (or must be redrawn).
    void ShowDisplay() {
        const WindowHandle handle = DisplayWindow();
        auto* window = static_cast<SDL_Window*>(wincore::NativeOf(handle));
        if (window == nullptr) return;
        const bool full = DisplayInFullScreenMode();
        const uint64_t serial = DisplayChangeSerial();
        if (!redraw_ && serial == shownSerial_ && window == shownWindow_ && full == shownFull_) {
            return;
        }
        if (window != shownWindow_) {
            DropRenderer();
            renderer_ = SDL_CreateRenderer(window, -1, 0);
            if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
            if (renderer_ == nullptr) return;
            shownWindow_ = window;
            shownFull_ = false;
        }
        if (full != shownFull_) {
            shownFull_ = full;
            if (full) {
                CoverDesktop(window);
            } else {
                LeaveDesktop(handle, window);
            }
        }
        shownSerial_ = serial;
        redraw_ = false;
        if (!ReadShownPicture(handle, &picture_) || picture_.width <= 0 || picture_.height <= 0) {
            return;
        }
        if (texture_ == nullptr || textureWidth_ != picture_.width ||
            textureHeight_ != picture_.height) {
            if (texture_ != nullptr) SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                         SDL_TEXTUREACCESS_STREAMING, picture_.width,
                                         picture_.height);
            if (texture_ == nullptr) return;
            textureWidth_ = picture_.width;
            textureHeight_ = picture_.height;
        }
        SDL_UpdateTexture(texture_, nullptr, picture_.pixels.data(), picture_.width * 4);
        int outW = 0, outH = 0;
        if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0 || outW <= 0 || outH <= 0) {
            return;
        }
        const Rect fit = FitPictureRect(outW, outH, picture_.width, picture_.height);
        const SDL_Rect dest{fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dest);
        SDL_RenderPresent(renderer_);
    }

    // Makes the window cover the desktop: placed over it without a frame, then asked to be a
    // full-screen window of the desktop's size. (A desktop without a window manager takes
    // only the first; with one, the second also keeps panels and docks off it.)
    void CoverDesktop(SDL_Window* window) {
        ReadDesktop();
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, 0, 0);
        SDL_SetWindowSize(window, desktop_.width, desktop_.height);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }

    // Back to the window's own frame, place and size as the core keeps them; the size and
    // move events the switch leaves behind are not the program's.
    void LeaveDesktop(WindowHandle handle, SDL_Window* window) {
        SDL_SetWindowFullscreen(window, 0);
        uint32_t style = 0;
        if (GetWindowStyle(handle, &style, nullptr)) {
            SDL_SetWindowBordered(window, (style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
        }
        Rect r{};
        if (GetWindowRect(handle, &r) && r.right > r.left && r.bottom > r.top) {
            SDL_SetWindowSize(window, r.right - r.left, r.bottom - r.top);
            SDL_SetWindowPosition(window, r.left, r.top);
        }
        settlingPumps_ = kSettlingPumps;
    }

    // A window shown full screen by the display keeps its size and place in the core: the
    // desktop-sized SDL window is only how the picture is shown. That holds from the moment
    // the display is in a full-screen mode, since a window manager may still report where it
    // placed the framed window before the window covers the desktop.
    bool HeldFullScreen(WindowHandle handle) const {
        if (shownWindow_ == nullptr ||
            static_cast<SDL_Window*>(wincore::NativeOf(handle)) != shownWindow_) {
            return false;
        }
        return shownFull_ || settlingPumps_ > 0 || DisplayInFullScreenMode();
    }

    // A mouse position in the SDL window as the core's window sees it. A window shown full
    // screen covers the desktop with the screen mode's picture scaled to fit: the position
    // is mapped back into the picture (the screen's coordinates), clamped to its edges.
    Point MousePoint(WindowHandle handle, int32_t x, int32_t y) const {
        if (!shownFull_ || !HeldFullScreen(handle) || textureWidth_ <= 0 || textureHeight_ <= 0) {
            return Point{x, y};
        }
        int windowWidth = 0, windowHeight = 0;
        SDL_GetWindowSize(shownWindow_, &windowWidth, &windowHeight);
        const Rect fit = FitPictureRect(windowWidth, windowHeight, textureWidth_, textureHeight_);
        const int64_t fitWidth = fit.right - fit.left;
        const int64_t fitHeight = fit.bottom - fit.top;
        if (fitWidth <= 0 || fitHeight <= 0) return Point{x, y};
        const int64_t px = (static_cast<int64_t>(x) - fit.left) * textureWidth_ / fitWidth;
        const int64_t py = (static_cast<int64_t>(y) - fit.top) * textureHeight_ / fitHeight;
        return Point{static_cast<int32_t>(std::clamp<int64_t>(px, 0, textureWidth_ - 1)),
                     static_cast<int32_t>(std::clamp<int64_t>(py, 0, textureHeight_ - 1))};
    }

    // While the window settles after leaving the desktop, its place and size are put back to
    // the core's whenever the window manager (giving the frame back) moved it.
    void KeepPlaceWhileSettling() {
        if (shownFull_ || shownWindow_ == nullptr) return;
        const WindowHandle handle = DisplayWindow();
        if (static_cast<SDL_Window*>(wincore::NativeOf(handle)) != shownWindow_) return;
        Rect r{};
        if (!GetWindowRect(handle, &r) || r.right <= r.left || r.bottom <= r.top) return;
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(shownWindow_, &x, &y);
        SDL_GetWindowSize(shownWindow_, &w, &h);
        if (w != r.right - r.left || h != r.bottom - r.top) {
            SDL_SetWindowSize(shownWindow_, r.right - r.left, r.bottom - r.top);
        }
        if (x != r.left || y != r.top) SDL_SetWindowPosition(shownWindow_, r.left, r.top);
    }

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
            case SDL_WINDOWEVENT_EXPOSED:
                redraw_ = true;
                RouteExposed(handle);
                break;
            case SDL_WINDOWEVENT_MOVED:
                if (!HeldFullScreen(handle)) RouteMoved(handle, e.data1, e.data2);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                redraw_ = true;
                if (!HeldFullScreen(handle)) RouteResized(handle, e.data1, e.data2);
                break;
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
            case SDL_TEXTEDITING:
            case SDL_TEXTEDITING_EXT:
                // The three share their leading fields, the window's id among them.
                RouteSdlTextEvent(e, FocusedHandle(e.text.windowID));
                break;
            case SDL_MOUSEWHEEL: {
                int notches = e.wheel.y;
                if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
                if (notches != 0) RouteWheel(HandleOfId(e.wheel.windowID), notches);
                break;
            }
            case SDL_MOUSEMOTION: {
                const WindowHandle handle = HandleOfId(e.motion.windowID);
                const Point at = MousePoint(handle, e.motion.x, e.motion.y);
                RouteMouseMove(handle, at.x, at.y);
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const int button = e.button.button == SDL_BUTTON_LEFT    ? 0
                                   : e.button.button == SDL_BUTTON_RIGHT ? 1
                                   : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                          : -1;
                const WindowHandle handle = HandleOfId(e.button.windowID);
                const Point at = MousePoint(handle, e.button.x, e.button.y);
                RouteMouseMove(handle, at.x, at.y);
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
    uint32_t refreshRate_ = 0;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Window* shownWindow_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    uint64_t shownSerial_ = 0;
    bool shownFull_ = false;
    bool redraw_ = false;
    // Pumps left after leaving full screen during which the window's size and move events
    // are the switch's own.
    static constexpr int kSettlingPumps = 30;
    int settlingPumps_ = 0;
    ShownPicture picture_;
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
