// The headless backend: windows without a display. The core does everything; the desktop's
// events come only from the test controls, and the desktop's facts are settings.
#include <atomic>
#include <mutex>

#include "platform/window/window_backend.h"
#include "platform/backend/headless/window_test_controls.h"

namespace plat {

namespace {

constexpr DesktopInfo kDefaultDesktop{1920, 1080, 32};

std::mutex g_settingsMutex;
DesktopInfo g_desktop = kDefaultDesktop;
std::atomic<int> g_failClassRegistrations{0};
std::atomic<int> g_failWindowCreations{0};

bool Consume(std::atomic<int>& pending) {
    int n = pending.load();
    while (n > 0) {
        if (pending.compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

class HeadlessBackend final : public WindowBackend {
public:
    const char* Name() const override { return "headless"; }
    bool ThreadBound() const override { return false; }
    bool AllowClassRegistration() override { return !Consume(g_failClassRegistrations); }
    bool AllowWindowCreation() override { return !Consume(g_failWindowCreations); }
    // The handle itself stands for the native window: there is nothing to make.
    void* CreateNativeWindow(const NativeWindowState& state) override {
        return reinterpret_cast<void*>(state.handle);
    }
    void UpdateNativeWindow(void*, const NativeWindowState&, uint32_t) override {}
    void DestroyNativeWindow(void*) override {}
    void SetCursorVisible(bool) override {}
    void PumpEvents() override {}
    DesktopInfo Desktop() override {
        std::lock_guard<std::mutex> hold(g_settingsMutex);
        return g_desktop;
    }
    bool ShowMessageBox(WindowHandle, const char*, const char*, uint32_t, int*) override {
        return false;  // answered from ZN_ANSWER or the test control
    }
};

}  // namespace

WindowBackend* CreateHeadlessBackend() { return new HeadlessBackend; }

void ResetHeadlessSettings() {
    {
        std::lock_guard<std::mutex> hold(g_settingsMutex);
        g_desktop = kDefaultDesktop;
    }
    g_failClassRegistrations.store(0);
    g_failWindowCreations.store(0);
}

void SetHeadlessDesktop(int32_t width, int32_t height, int32_t bitsPerPixel) {
    std::lock_guard<std::mutex> hold(g_settingsMutex);
    g_desktop = DesktopInfo{width, height, bitsPerPixel};
}

void FailNextWindowClassRegistrations(int count) {
    g_failClassRegistrations.store(count < 0 ? 0 : count);
}

void FailNextWindowCreations(int count) { g_failWindowCreations.store(count < 0 ? 0 : count); }

}  // namespace plat
