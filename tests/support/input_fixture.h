// A fixture for the input routines: the log fixture's temporary start directory and log, a
// headless window for the devices' cooperative levels, the test input backend, and test
// drivers for the window system (pump, inactive wait, window state, F10 flag) and the fatal
// exit that count their calls. Input is ended, the drivers reset and the state cleared
// afterwards.
#pragma once
#include <string>
#include <vector>

#include "base/fatal_exit.h"
#include "platform/core/clock.h"
#include "platform/testing/input_test_controls.h"
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_state.h"
#include "system/pump_services.h"
#include "tests/support/log_test_fixture.h"

// What the window system's stand-ins report and count.
struct InputHostStandIn {
    int pumps = 0;
    int pumpResult = 0;  // non-zero: the pump reports quit
    int waits = 0;
    int closing = 0;
    int active = 1;
    uint32_t mainThread = 0;
    plat::WindowHandle window = 0;
    int f10 = 0;
    std::vector<std::string> fatalTexts;
};

class InputFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetWindowTestControls();
        plat::ResetInputTestControls();
        ResetPumpServices();
        GetInputState() = InputState{};
        host_ = Host{};
        host_.mainThread = plat::CurrentThreadId();
        const plat::WindowClass c{0, &plat::DefWindowProc, 0, 0, 5, "ZnInputClass"};
        ASSERT_NE(plat::RegisterWindowClass(c), 0);
        host_.window = plat::CreateWindow("ZnInputClass", "input", 0, 0, 0, 0, 64, 64, nullptr);
        ASSERT_NE(host_.window, 0u);
        InputHostSlot().Install(kTestHost);
        FatalExitSlot().Install(kTestFatalExit);
        // Away from 0, where a never-polled device and a poll at 0 ms look alike.
        AdvanceMs(1000);
    }

    void TearDown() override {
        TermInputSystem();
        GetInputState() = InputState{};
        InputHostSlot().Reset();
        FatalExitSlot().Reset();
        ResetPumpServices();
        plat::ResetInputTestControls();
        plat::ResetWindowTestControls();
        LogFixture::TearDown();
    }

    // Stand-ins of the window system.
    using Host = InputHostStandIn;
    static inline Host host_;

    static int Pump() {
        ++host_.pumps;
        return host_.pumpResult;
    }
    static void Wait() { ++host_.waits; }
    static int Closing() { return host_.closing; }
    static int Active() { return host_.active; }
    static uint32_t MainThread() { return host_.mainThread; }
    static plat::WindowHandle Window() { return host_.window; }
    static int F10() { return host_.f10; }
    static int Fatal(const char* text) {
        host_.fatalTexts.emplace_back(text);
        return -1;
    }
    static constexpr InputHost kTestHost = {
        .processMessage = &Pump,
        .waitWhileInactive = &Wait,
        .windowClosing = &Closing,
        .windowActive = &Active,
        .mainThreadId = &MainThread,
        .libraryWindow = &Window,
        .f10KeyHeld = &F10,
    };
    static constexpr FatalExitDriver kTestFatalExit = {.exit = &Fatal};

    // Starts input on the device road (or, with noDirectInput, the joystick road).
    void Start(bool noDirectInput = false) {
        SetNoDirectInput(noDirectInput ? 1 : 0);
        ASSERT_EQ(InitInputSystem(), 0);
        AdvanceMs(1);
    }

    // The keys ReadKeyStates reports down.
    std::vector<int> KeysDown() {
        char keys[256];
        EXPECT_EQ(ReadKeyStates(keys), 0);
        std::vector<int> down;
        for (int i = 0; i < 256; ++i) {
            if (keys[i] != 0) down.push_back(i);
        }
        return down;
    }

    static InputState& State() { return GetInputState(); }
    static uint64_t Reads(plat::InputDeviceKind kind) { return plat::InputReadCount(kind); }
};
