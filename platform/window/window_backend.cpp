// Choice of the window backend on first use, and the backend thread.
#include "platform/window/window_backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/core/thread.h"

namespace plat {

namespace {

std::mutex g_backendMutex;
std::atomic<WindowBackend*> g_backend{nullptr};
std::atomic<uint32_t> g_backendThread{0};

bool DisplayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

WindowBackend* ChooseBackend() {
    CheckProcessEnvironment();
    const char* video = std::getenv("ZN_VIDEO");
    if (video != nullptr && std::strcmp(video, "headless") == 0) return CreateHeadlessBackend();
    const bool asked = video != nullptr && std::strcmp(video, "sdl2") == 0;
    if (asked || DisplayAvailable()) {
        if (WindowBackend* sdl = CreateSdl2Backend()) return sdl;
        if (asked) std::fprintf(stderr, "ZN_VIDEO=sdl2: SDL video cannot start; running headless\n");
    }
    return CreateHeadlessBackend();
}

}  // namespace

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
    g_backend.store(CreateHeadlessBackend(), std::memory_order_release);
}

}  // namespace plat
