// A fixture for the window-layer tests: a clean headless window layer on the virtual clock, a
// registered class whose procedure records every message it gets (and can be given extra
// behaviour), and helpers to drain the queue.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window/window.h"

struct ProcCall {
    plat::WindowHandle window;
    uint32_t message;
    plat::WParam wParam;
    plat::LParam lParam;
    uint32_t thread;  // plat::CurrentThreadId of the thread that ran the procedure
};

class WindowFixture : public ::testing::Test {
protected:
    static constexpr const char* kClassName = "ZnWindowTestClass";

    void SetUp() override;
    void TearDown() override;

    // A window of the test class (style 0: hidden unless WS_VISIBLE is given).
    plat::WindowHandle Create(uint32_t style = 0, int32_t x = 10, int32_t y = 20,
                              int32_t width = 320, int32_t height = 240);

    // Everything the recording procedure saw, optionally only these messages.
    std::vector<ProcCall> Calls(std::vector<uint32_t> only = {}) const;
    std::vector<uint32_t> CalledMessages(std::vector<uint32_t> only = {}) const;
    void ClearCalls();

    // Removes and returns every message the calling thread's queue gives now, dispatching
    // none of them (a WM_PAINT is returned once: its window is validated).
    std::vector<plat::Message> Drain(plat::WindowHandle filter = 0);
    std::vector<uint32_t> DrainMessageNumbers(plat::WindowHandle filter = 0);
    // Peeks, translates and dispatches until the queue gives nothing.
    void PumpAll();

    // Extra behaviour of the recording procedure: return a value to answer the message
    // instead of DefWindowProc.
    using Hook = std::function<std::optional<plat::LResult>(plat::WindowHandle, uint32_t,
                                                            plat::WParam, plat::LParam)>;
    static void SetHook(Hook hook);

    static plat::LResult RecordingProc(plat::WindowHandle window, uint32_t message,
                                       plat::WParam wParam, plat::LParam lParam);

private:
    static std::mutex mutex_;
    static std::vector<ProcCall> calls_;
    static Hook hook_;
};
