// A fixture for the tests of library start-up, shut-down, the message pump and the window
// procedure: a temporary start directory (the log goes there, and so do the instance-lock
// files), a clean headless window layer, the virtual clock advancing 1 ms per read (so that
// the timer test, the CPU-speed count and the first 200 ms of pumping end at once), and a
// fresh WindowData, library lock, graphics state, input state (on the test input backend) and
// pump services. A library a test left
// running is shut down afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/screen/screen.h"
#include "platform/core/clock.h"
#include "platform/testing/input_test_controls.h"
#include "platform/core/system_info.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "base/api_lock.h"
#include "base/fatal_exit.h"
#include "base/log.h"
#include "base/sjis_string.h"
#include "system/input.h"
#include "system/window_system.h"
#include "system/input_state.h"
#include "library/main_window_proc.h"
#include "library/public/api.h"
#include "system/pump_services.h"
#include "system/window_data.h"
#include "tests/support/temp_dir.h"

class LibraryFixture : public ::testing::Test {
protected:
    static constexpr uint64_t kReadStepUs = 1000;

    void SetUp() override {
        plat::ResetTestControls();
        plat::ResetWindowTestControls();
        plat::SetInstanceLockDirectory(dir_.str().c_str());
        plat::UseVirtualClock(true);
        plat::SetVirtualClockReadStep(kReadStepUs);
        // Fixed machine facts, so that the log reads the same everywhere.
        plat::CpuInfo cpu{};
        cpu.hasCpuid = true;
        std::memcpy(cpu.vendor, "GenuineIntel", 13);
        std::snprintf(cpu.brand, sizeof(cpu.brand), "%s", "Test CPU 1.0");
        cpu.hasTimeStampCounter = true;
        cpu.hasMmx = true;
        plat::SetCpuInfoForTests(&cpu);
        const plat::MemoryStatus memory{512u * 1048576u, 256u * 1048576u};
        plat::SetMemoryStatusForTests(&memory);
        ResetLibraryState();
    }

    void TearDown() override {
        const WindowState& window = GetWindowData().window;
        if (window.handle != 0 || window.pumpThread != nullptr) ApiTermLibrary();
        ResetLibraryState();
        plat::ResetWindowTestControls();
        plat::ResetTestControls();
    }

    // Everything the library keeps between tests back to its state before any start-up.
    static void ResetLibraryState() {
        WindowData& data = GetWindowData();
        DestroyApiLock(&GetApiLockState());
        TermInputSystem();
        GetInputState() = InputState{};
        plat::ResetInputTestControls();
        ResetPumpServices();
        WindowMessageSlot().Reset();
        FatalExitSlot().Reset();
        GraphicsState& graphics = GetGraphicsState();
        graphics.graphicsUp = 1;
        TermGraphSystem();
        ResetScreenState();
        ClearGraphicsState();
        graphics.restoreCallback = nullptr;
        ClearDroppedFiles();
        ResetWindowDataForStartUp();
        data.settings = WindowSettings{};
        data.cpu = CpuFacts{};
        GetLogState() = LogState{};
        data.clock = ClockState{};
        data.library = LibraryState{};
        data.startDirectory[0] = '\0';
        SetCharSet(1);
    }

    // Installs the absent pump services as the test's own driver and returns them, for the
    // test to put its stand-ins in. (Start-up installs the library's own services: a test
    // that starts the library installs these afterwards.)
    static PumpServices& InstallTestPumpServices() {
        static PumpServices services;
        services = PumpServicesSlot().Absent();
        PumpServicesSlot().Install(services);
        return services;
    }

    // Starts the library without its pump thread, so that only the test touches the library.
    static void StartWithoutPumpThread() {
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_NE(GetWindowData().window.handle, 0u);
        ASSERT_EQ(GetWindowData().window.pumpThread, nullptr);
    }

    static plat::WindowHandle Window() { return GetWindowData().window.handle; }

    // The log's lines without their time prefix ("123:"), tabs kept.
    std::vector<std::string> LogLines() const {
        const std::string text = dir_.ReadFile("Log.txt");
        std::vector<std::string> lines;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            const size_t colon = line.find(':');
            if (colon != std::string::npos &&
                line.find_first_not_of("0123456789") == colon && colon > 0) {
                line.erase(0, colon + 1);
            }
            lines.push_back(line);
            pos = end + 2;
        }
        return lines;
    }

    // Index of the first line at or after `from` that starts with `prefix`, or -1.
    int FindLine(const std::string& prefix, int from = 0) const {
        const std::vector<std::string> lines = LogLines();
        for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i) {
            if (lines[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
        }
        return -1;
    }

    // True when a line of the log contains the text.
    bool LogHas(const std::string& text) const {
        for (const std::string& line : LogLines()) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }

    ScopedTempDir dir_;
};
