// Choice of the window backend on first use among the records handed down, and the backend
// thread.
#include "platform/window/window_backend.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/core/terminal_line.h"
#include "platform/core/thread.h"
#include "platform/window/backend_record.h"

namespace plat {

namespace {

std::mutex g_backendMutex;
std::atomic<WindowBackend*> g_backend{nullptr};
std::atomic<uint32_t> g_backendThread{0};

// The record that stands in until a program hands its records down: every entry ends the
// program, since nothing can run without a backend.
[[noreturn]] void NoBackendHandedDown() {
    WriteTerminalLine("No window backend was handed down to the platform: a program hands its "
                      "backends down (UseBackends) before it uses windows, input or sound");
    std::abort();
}
WindowBackend* AbsentWindow() { NoBackendHandedDown(); }
InputBackend* AbsentInput() { NoBackendHandedDown(); }
std::unique_ptr<snd::AudioSink> AbsentSink(snd::Mixer*) { NoBackendHandedDown(); }
constexpr BackendRecord kAbsentBackend = {.makeWindow = AbsentWindow,
                                          .makeInput = AbsentInput,
                                          .openAudio = AbsentSink,
                                          .makeNullSink = AbsentSink};

std::atomic<const BackendRecord*> g_sdl2Record{&kAbsentBackend};
std::atomic<const BackendRecord*> g_headlessRecord{&kAbsentBackend};
// The record of the backend in use; null until one is chosen.
std::atomic<const BackendRecord*> g_chosenRecord{nullptr};

bool DisplayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

// The backend of the record chosen, which it puts in *record.
WindowBackend* ChooseBackend(const BackendRecord** record) {
    CheckProcessEnvironment();
    const BackendRecord* sdl2 = g_sdl2Record.load();
    const BackendRecord* headless = g_headlessRecord.load();
    *record = headless;
    const char* video = std::getenv("ZN_VIDEO");
    if (video != nullptr && std::strcmp(video, "headless") == 0) return headless->makeWindow();
    const bool asked = video != nullptr && std::strcmp(video, "sdl2") == 0;
    const bool display = DisplayAvailable();
    if (asked || display) {
        if (WindowBackend* sdl = sdl2->makeWindow()) {
            *record = sdl2;
            return sdl;
        }
        if (asked) {
            WriteTerminalLine("ZN_VIDEO=sdl2: SDL video cannot start; running headless");
        } else {
            WriteTerminalLine("SDL video cannot start on the display named by DISPLAY or "
                              "WAYLAND_DISPLAY: running headless, no window is shown "
                              "(ZN_VIDEO=headless asks for this)");
        }
        return headless->makeWindow();
    }
    // Without this line a start on a terminal with no display (over ssh, say) shows nothing
    // at all while the program runs on unseen.
    WriteTerminalLine("No display (DISPLAY and WAYLAND_DISPLAY are unset): running headless, "
                      "no window is shown. Set DISPLAY to show the window, or ZN_VIDEO=headless "
                      "to run headless without this note");
    return headless->makeWindow();
}

}  // namespace

void UseBackends(const BackendRecords& records) {
    g_sdl2Record.store(records.sdl2 != nullptr ? records.sdl2 : &kAbsentBackend);
    g_headlessRecord.store(records.headless != nullptr ? records.headless : &kAbsentBackend);
}

const BackendRecord& ChosenBackendRecord() {
    Backend();
    return BackendRecordInUse();
}

const BackendRecord& BackendRecordInUse() {
    const BackendRecord* chosen = g_chosenRecord.load(std::memory_order_acquire);
    return chosen != nullptr ? *chosen : *g_headlessRecord.load();
}

const BackendRecord& HeadlessBackendRecord() { return *g_headlessRecord.load(); }

DesktopInfo GetDesktopInfo() { return Backend().Desktop(); }

WindowBackend& Backend() {
    WindowBackend* backend = g_backend.load(std::memory_order_acquire);
    if (backend != nullptr) return *backend;
    std::lock_guard<std::mutex> hold(g_backendMutex);
    backend = g_backend.load();
    if (backend == nullptr) {
        g_backendThread.store(CurrentThreadId());
        const BackendRecord* record = nullptr;
        backend = ChooseBackend(&record);
        g_chosenRecord.store(record, std::memory_order_release);
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
    const BackendRecord* headless = g_headlessRecord.load();
    g_chosenRecord.store(headless, std::memory_order_release);
    g_backend.store(headless->makeWindow(), std::memory_order_release);
}

void ForgetBackendForTests() {
    std::lock_guard<std::mutex> hold(g_backendMutex);
    WindowBackend* old = g_backend.exchange(nullptr);
    delete old;
    g_chosenRecord.store(nullptr);
    g_backendThread.store(0);
}

}  // namespace plat
