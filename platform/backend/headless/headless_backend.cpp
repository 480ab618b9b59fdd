// The headless backend: windows without a display. The core does everything; the desktop's
// events come only from the test controls, and the desktop's facts are settings.
#include <mutex>

#include "platform/backend/backend_entries.h"
#include "platform/core/fault_injection.h"
#include "platform/window/window_backend.h"

namespace plat {

namespace {

constexpr DesktopInfo kDefaultDesktop{1920, 1080, 32};

std::mutex g_settingsMutex;
DesktopInfo g_desktop = kDefaultDesktop;

class HeadlessBackend final : public WindowBackend {
public:
    const char* Name() const override { return "headless"; }
    bool ThreadBound() const override { return false; }
    bool AllowClassRegistration() override {
        return !ConsumeFault(FaultKind::WindowClassRegistration);
    }
    bool AllowWindowCreation() override { return !ConsumeFault(FaultKind::WindowCreation); }
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
    SetPendingFaults(FaultKind::WindowClassRegistration, 0);
    SetPendingFaults(FaultKind::WindowCreation, 0);
}

void SetHeadlessDesktop(int32_t width, int32_t height, int32_t bitsPerPixel) {
    std::lock_guard<std::mutex> hold(g_settingsMutex);
    g_desktop = DesktopInfo{width, height, bitsPerPixel};
}

}  // namespace plat
