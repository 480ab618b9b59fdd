#include "library/library_modules.h"

#include <cstring>

#include "base/data_stream.h"
#include "base/fatal_exit.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/draw_state.h"
#include "graphics/graph_handle_table.h"
#include "graphics/graph_system.h"
#include "graphics/drivers/screen_driver.h"
#include "library/fatal_error.h"
#include "library/library_startup.h"
#include "library/main_window_proc.h"
#include "platform/core/clock.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "system/input.h"
#include "system/message_pump.h"
#include "system/system_info_log.h"
#include "system/window_system.h"

namespace {

// --- The library top's drivers for the layers below ----------------------------------------

int ExitThroughLibrary(const char* text) { FatalError(text); }

constexpr FatalExitDriver kLibraryFatalExit{ExitThroughLibrary};
constexpr WindowMessageDriver kLibraryWindowMessages{MainWindowProc};

int InstallLibraryDrivers() {
    FatalExitSlot().Install(kLibraryFatalExit);
    WindowMessageSlot().Install(kLibraryWindowMessages);
    return 0;
}

int ResetLibraryDrivers() {
    WindowMessageSlot().Reset();
    FatalExitSlot().Reset();
    return 0;
}

// --- Steps of the library itself -------------------------------------------------------------

// The first thread that uses the window layer becomes its backend thread: this one.
int BindWindowBackend() {
    plat::WindowBackendName();
    return 0;
}

// The window's last messages. Without a window ProcessMessage never reports quit, so there is
// nothing to wait for.
int DrainLastMessages() {
    const WindowData& data = GetWindowData();
    if (!data.settings.noWindow && data.window.handle != 0) {
        while (ProcessMessage() == 0 && !IsQuitRequested()) {
        }
    }
    return 0;
}

// A software-rendering request made before start-up is handed to the screen here once the
// screen exists. The plain disk access set is installed and the start directory noted; the log
// is written there whatever the current directory becomes.
int NoteStartDirectory() {
    WindowData& data = GetWindowData();
    SetFileAccessTable(nullptr);
    FileAccessGetDir(data.startDirectory);
    SetLogDirectory(data.startDirectory);
    return 0;
}

int RestoreStartDirectory() {
    FileAccessSetDir(GetWindowData().startDirectory);
    return 0;
}

int StartTheLog() {
    StartLog();
    return 0;
}

int CheckScreenDepth() {
    const WindowSettings& settings = GetWindowData().settings;
    if (!settings.noWindow &&
        ((plat::GetDesktopInfo().bitsPerPixel == 24 && settings.windowed) ||
         GetDisplayDepth() == 24)) {
        return LogWrite("ＺＮライブラリは２４ビットカラーモードに対応していません\n");
    }
    return 0;
}

int ChooseClockCounter() {
    ClockState& clock = GetWindowData().clock;
    clock.performanceFrequency = plat::PerformanceFrequency();
    clock.usePerformanceCounter = clock.performanceFrequency != 0 ? 1 : 0;
    return 0;
}

// On an OS of code 264 (a Windows of major version 6) the screen draws to the front screen
// through a temporary primary; that switch is handed to the screen here once it exists.
int LogSystemInfo() {
    OutputSystemInfo();
    return 0;
}

int StartStreamFunctions() {
    InitStreamFunctions();
    return 0;
}

int ClearGraphReloadHandler() {
    InstallGraphReloadHandler(nullptr);
    return 0;
}

int EndCom() {
    LibraryState& library = GetWindowData().library;
    if (library.comStarted) {
        plat::EndCom();
        LogWrite("ＣＯＭを終了... 完了\n");
        library.comStarted = 0;
    }
    return 0;
}

int StartClock() {
    GetWindowData().clock.started = 1;
    return 0;
}

int StopClock() {
    GetWindowData().clock.started = 0;
    return 0;
}

int BringFullScreenWindowForward() {
    const WindowData& data = GetWindowData();
    if (!data.settings.windowed) BringWindowToForeground(data.window.handle, 1);
    return 0;
}

// Both screens are made draw targets once; the front screen stays the target.
int SetFirstDrawTargets() {
    SetDrawTarget(kDrawTargetBack);
    SetDrawTarget(kDrawTargetFront);
    return 0;
}

int DumpTrackedMemory() {
    DumpAllocations();
    return 0;
}

using S = WindowSettings;
using F = StartFailure;

// Shut-down ranks. The ends run in this order: the console's font, HTTP transfers and
// networking, all sounds stopped, graphics, input, sound output, the window system, COM, the
// clock, the window's last messages, the start directory, the archives, the tracked-memory
// dump, and last the library's drivers.
const LibraryModule kModules[] = {
    {"library drivers", InstallLibraryDrivers, ResetLibraryDrivers, nullptr, F::kCannotFail, 14},
    {"tracked memory", nullptr, DumpTrackedMemory, nullptr, F::kCannotFail, 13},
    {"window backend", BindWindowBackend, DrainLastMessages, nullptr, F::kCannotFail, 10},
    {"start directory", NoteStartDirectory, RestoreStartDirectory, nullptr, F::kCannotFail, 11},
    // Start: the archive and file-handle tables are cleared. End: every archive is closed.
    {"archives", nullptr, nullptr, nullptr, F::kCannotFail, 12},
    {"log", StartTheLog, nullptr, nullptr, F::kCannotFail, 0},
    {"screen depth check", CheckScreenDepth, nullptr, nullptr, F::kAbortsStartUp, 0},
    {"clock counter", ChooseClockCounter, nullptr, nullptr, F::kCannotFail, 0},
    {"system information", LogSystemInfo, nullptr, nullptr, F::kCannotFail, 0},
    {"stream functions", StartStreamFunctions, nullptr, nullptr, F::kCannotFail, 0},
    {"graph reload handler", ClearGraphReloadHandler, nullptr, nullptr, F::kCannotFail, 0},
    {"COM", InitCom, EndCom, nullptr, F::kEndsStartUp, 8},
    {"window system", InitWindowSystem, TermWindowSystem, nullptr, F::kEndsStartUp, 7},
    // Start: the HTTP handle table is cleared. End: HTTP transfers and networking end.
    {"network", nullptr, nullptr, nullptr, F::kCannotFail, 2},
    {"input", InitInputSystem, TermInputSystem, &S::noInput, F::kEndsStartUp, 5},
    {"sound output", nullptr, nullptr, &S::noSound, F::kIgnored, 6},
    // End: every sound is stopped, before graphics end.
    {"sounds", nullptr, nullptr, nullptr, F::kCannotFail, 3},
    {"graphics", InitGraphSystem, TermGraphSystem, &S::noGraphics, F::kEndsStartUp, 4},
    {"character input", nullptr, nullptr, nullptr, F::kCannotFail, 0},
    {"clock", StartClock, StopClock, nullptr, F::kCannotFail, 9},
    {"vertical-blank wait", nullptr, nullptr, nullptr, F::kCannotFail, 0},
    {"foreground window", BringFullScreenWindowForward, nullptr, nullptr, F::kCannotFail, 0},
    // Start: the on-screen console is created. End: its font is deleted.
    {"console", nullptr, nullptr, nullptr, F::kCannotFail, 1},
    {"draw targets", SetFirstDrawTargets, nullptr, nullptr, F::kCannotFail, 0},
    // Both screens cleared to black (the front screen stays the draw target).
    {"screen clears", nullptr, nullptr, &S::noGraphics, F::kCannotFail, 0},
};

}  // namespace

const LibraryModule* LibraryModules(size_t* count) {
    *count = sizeof(kModules) / sizeof(kModules[0]);
    return kModules;
}

const LibraryModule* FindLibraryModule(const char* name) {
    for (const LibraryModule& row : kModules) {
        if (std::strcmp(row.name, name) == 0) return &row;
    }
    return nullptr;
}
