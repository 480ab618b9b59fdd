// A fixture for the input routines: the log fixture's temporary start directory and log, a
// headless window for the devices' cooperative levels set as the library window of the window
// system's state (active, on this thread), the test input backend, and stand-ins for the pump
// services and the fatal exit that count their calls. Input is ended, the drivers reset and the
// state cleared afterwards.
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
#include "system/input_state.h"
#include "system/pump_services.h"
#include "system/window_data.h"
#include "tests/support/log_test_fixture.h"

// What the fixture's stand-ins count: the pumps (through the pump services, which every
// ProcessMessage runs), the inactive-window waits (each ended by the stand-in service that
// makes the window active again) and the fatal exits.
struct InputFixtureCounts {
    int pumps = 0;
    int waits = 0;
    std::vector<std::string> fatalTexts;
};

class InputFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetWindowTestControls();
        plat::ResetInputTestControls();
        GetInputState() = InputState{};
        seen_ = InputFixtureCounts{};
        GetWindowData().window = WindowState{};
        TheWindow().mainThreadId = plat::CurrentThreadId();
        TheWindow().active = 1;
        const plat::WindowClass c{0, &plat::DefWindowProc, 0, 0, 5, "ZnInputClass"};
        ASSERT_NE(plat::RegisterWindowClass(c), 0);
        TheWindow().handle =
            plat::CreateWindow("ZnInputClass", "input", 0, 0, 0, 0, 64, 64, nullptr);
        ASSERT_NE(TheWindow().handle, 0u);
        PumpServicesSlot().Install(kCountingServices);
        FatalExitSlot().Install(kTestFatalExit);
        // Away from 0, where a never-polled device and a poll at 0 ms look alike.
        AdvanceMs(1000);
    }

    void TearDown() override {
        TermInputSystem();
        GetInputState() = InputState{};
        GetWindowData().window = WindowState{};
        FatalExitSlot().Reset();
        ResetPumpServices();
        plat::ResetInputTestControls();
        plat::ResetWindowTestControls();
        LogFixture::TearDown();
    }

    static inline InputFixtureCounts seen_;

    // The window system's state the input routines read (the window, whether it is active or
    // closing, the main thread, the F10 flag, the quit flag).
    static WindowState& TheWindow() { return GetWindowData().window; }

    // The pump services: the key-input step runs once at the end of every ProcessMessage; the
    // HTTP step also runs between the passes of an inactive window, where it ends the wait by
    // making the window active.
    static void CountPump() { ++seen_.pumps; }
    static void EndInactiveWait() {
        if (TheWindow().active != 0) return;
        ++seen_.waits;
        TheWindow().active = 1;
    }
    static constexpr PumpServices kCountingServices = {
        .refillSoundStreams = [] {},
        .pollMusic = [] {},
        .stepJoypadEffects = [] {},
        .stepSocketMessages = [](int) {},
        .stepHttpTransfers = &EndInactiveWait,
        .stepKeyInput = &CountPump,
    };
    static int Fatal(const char* text) {
        seen_.fatalTexts.emplace_back(text);
        return -1;
    }
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
