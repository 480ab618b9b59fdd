#include "window_fixture.h"

#include <algorithm>

#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "platform/core/thread.h"
#include "platform/testing/window_test_controls.h"

std::mutex WindowFixture::mutex_;
std::vector<ProcCall> WindowFixture::calls_;
WindowFixture::Hook WindowFixture::hook_;

void WindowFixture::SetUp() {
    plat::ResetWindowTestControls();
    plat::UseVirtualClock(true);
    ClearCalls();
    SetHook(nullptr);
    plat::WindowClass c{plat::CS_HREDRAW | plat::CS_VREDRAW, &RecordingProc, 0, 0, 5, kClassName};
    ASSERT_NE(plat::RegisterWindowClass(c), 0);
}

void WindowFixture::TearDown() {
    SetHook(nullptr);
    plat::ResetWindowTestControls();
    plat::ResetTestControls();
}

plat::WindowHandle WindowFixture::Create(uint32_t style, int32_t x, int32_t y, int32_t width,
                                         int32_t height) {
    return plat::CreateWindow(kClassName, "title", style, 0, x, y, width, height, nullptr);
}

std::vector<ProcCall> WindowFixture::Calls(std::vector<uint32_t> only) const {
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<ProcCall> out;
    for (const ProcCall& c : calls_) {
        if (only.empty() || std::find(only.begin(), only.end(), c.message) != only.end()) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<uint32_t> WindowFixture::CalledMessages(std::vector<uint32_t> only) const {
    std::vector<uint32_t> out;
    for (const ProcCall& c : Calls(std::move(only))) out.push_back(c.message);
    return out;
}

void WindowFixture::ClearCalls() {
    std::lock_guard<std::mutex> hold(mutex_);
    calls_.clear();
}

std::vector<plat::Message> WindowFixture::Drain(plat::WindowHandle filter) {
    std::vector<plat::Message> out;
    plat::Message m{};
    while (plat::PeekMessage(&m, filter, 0, 0, plat::PM_REMOVE)) {
        if (out.size() > 20000) {
            ADD_FAILURE() << "the queue does not run dry";
            break;
        }
        if (m.message == plat::WM_PAINT) {
            plat::ValidateWindow(m.window);
        }
        out.push_back(m);
    }
    return out;
}

std::vector<uint32_t> WindowFixture::DrainMessageNumbers(plat::WindowHandle filter) {
    std::vector<uint32_t> out;
    for (const plat::Message& m : Drain(filter)) out.push_back(m.message);
    return out;
}

void WindowFixture::PumpAll() {
    plat::Message m{};
    while (plat::PeekMessage(&m, 0, 0, 0, plat::PM_REMOVE)) {
        plat::TranslateMessage(&m);
        plat::DispatchMessage(&m);
    }
}

void WindowFixture::SetHook(Hook hook) {
    std::lock_guard<std::mutex> hold(mutex_);
    hook_ = std::move(hook);
}

plat::LResult WindowFixture::RecordingProc(plat::WindowHandle window, uint32_t message,
                                           plat::WParam wParam, plat::LParam lParam) {
    Hook hook;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.push_back(ProcCall{window, message, wParam, lParam, plat::CurrentThreadId()});
        hook = hook_;
    }
    if (hook) {
        if (std::optional<plat::LResult> r = hook(window, message, wParam, lParam)) return *r;
    }
    return plat::DefWindowProc(window, message, wParam, lParam);
}
