// Choice of the window backend on first use, and the backend thread.
#include "platform/window/window_backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/core/terminal_line.h"
#include "platform/core/thread.h"

namespace plat {

namespace {

std::mutex g_backendMutex;
std::atomic<WindowBackend*> g_backend{nullptr};
std::atomic<uint32_t> g_backendThread{0};

WindowBackend* NoSdl2Backend() { return nullptr; }
[[noreturn]] WindowBackend* NoHeadlessBackend() {
    WriteTerminalLine("No window backend is linked into this program");
    std::abort();
}
constexpr WindowBackendMakers kAbsentWindowBackends = {.makeSdl2 = NoSdl2Backend,
                                                       .makeHeadless = NoHeadlessBackend};
constinit WindowBackendMakers g_makers = kAbsentWindowBackends;

bool DisplayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

WindowBackend* ChooseBackend() {
    CheckProcessEnvironment();
    const char* video = std::getenv("ZN_VIDEO");
    if (video != nullptr && std::strcmp(video, "headless") == 0) return g_makers.makeHeadless();
    const bool asked = video != nullptr && std::strcmp(video, "sdl2") == 0;
    const bool display = DisplayAvailable();
    if (asked || display) {
        if (WindowBackend* sdl = g_makers.makeSdl2()) return sdl;
        if (asked) {
            WriteTerminalLine("ZN_VIDEO=sdl2: SDL video cannot start; running headless");
        } else {
            WriteTerminalLine("SDL video cannot start on the display named by DISPLAY or "
                              "WAYLAND_DISPLAY: running headless, no window is shown "
                              "(ZN_VIDEO=headless asks for this)");
        }
        return g_makers.makeHeadless();
    }
    // Without this line a start on a terminal with no display (over ssh, say) shows nothing
    // at all while the program runs on unseen.
    WriteTerminalLine("No display (DISPLAY and WAYLAND_DISPLAY are unset): running headless, "
                      "no window is shown. Set DISPLAY to show the window, or ZN_VIDEO=headless "
                      "to run headless without this note");
    return g_makers.makeHeadless();
}

}  // namespace

void RegisterWindowBackends(const WindowBackendMakers& makers) { g_makers = makers; }

DesktopInfo GetDesktopInfo() { return Backend().Desktop(); }

WindowBackend& Backend() {
    WindowBackend* backend = g_backend.load(std::memory_order_acquire);
    if (backend != nullptr) return *backend;
    std::lock_guard<std::mutex> hold(g_backendMutex);
    backend = g_backend.load();
    if (backend == nullptr) {
        g_backendThread.store(CurrentThreadId());
        backend = ChooseBackend();
        g_backend.store(backend, std::memory_order_release);
    }
    return *backend;
}

bool OnBackendThread() { return g_backendThread.load() == CurrentThreadId(); }

bool MayCallBackend() {
    WindowBackend& backend = Backend();
    return !backend.ThreadBound() || OnBackendThread();
}

void UseHeadlessBackendForTests() {
    std::lock_guard<std::mutex> hold(g_backendMutex);
    WindowBackend* old = g_backend.exchange(nullptr);
    delete old;
    g_backendThread.store(CurrentThreadId());
    g_backend.store(g_makers.makeHeadless(), std::memory_order_release);
}

}  // namespace plat
