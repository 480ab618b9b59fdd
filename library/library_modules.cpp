#include "library/library_modules.h"

#include <cstring>

#include "base/archive/archive_table.h"
#include "base/data_stream.h"
#include "base/fatal_exit.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/draw_state.h"
#include "graphics/graph_handle_table.h"
#include "graphics/graph_system.h"
#include "graphics/font/font.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graph_image.h"
#include "graphics/graph_load.h"
#include "graphics/movie/movie.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "library/fatal_error.h"
#include "library/library_pump_services.h"
#include "library/library_startup.h"
#include "library/main_window_proc.h"
#include "platform/core/clock.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "sound/music/music_handles.h"
#include "sound/music/music_window_driver.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "system/input.h"
#include "system/input_state.h"
#include "system/key_input_state.h"
#include "system/message_pump.h"
#include "system/network_library_steps.h"
#include "system/screen_console.h"
#include "system/system_info_log.h"
#include "system/window_placement.h"
#include "system/window_system.h"

namespace {

// --- The library top's drivers for the layers below ----------------------------------------

int ExitThroughLibrary(const char* text) { FatalError(text); }

constexpr FatalExitDriver kLibraryFatalExit{ExitThroughLibrary};
constexpr WindowMessageDriver kLibraryWindowMessages{MainWindowProc};
constexpr SoundPumpDriver kLibrarySoundPump{ProcessMessage};
plat::WindowHandle LibraryWindow() { return GetWindowData().window.handle; }
constexpr MusicWindowDriver kLibraryMusicWindow{LibraryWindow};

int InstallLibraryDrivers() {
    FatalExitSlot().Install(kLibraryFatalExit);
    WindowMessageSlot().Install(kLibraryWindowMessages);
    SoundPumpSlot().Install(kLibrarySoundPump);
    MusicWindowSlot().Install(kLibraryMusicWindow);
    InstallLibraryPumpServices();
    return 0;
}

int ResetLibraryDrivers() {
    ResetLibraryPumpServices();
    MusicWindowSlot().Reset();
    SoundPumpSlot().Reset();
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

int ClearArchiveFileTables() {
    ClearArchiveTables();
    return 0;
}

int CloseEveryArchive() {
    CloseAllArchives();
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
// --- Graphics: the screen and graph management --------------------------------------------------

// What the screen reads of the window system (ScreenHostDriver).
plat::WindowHandle HostWindow() { return GetWindowData().window.handle; }
int HostWindowed() { return GetWindowData().settings.windowed ? 1 : 0; }
double HostWindowScale() { return GetWindowScale(); }
int HostWindowDrawRect(RECT* out) {
    const WindowData& data = GetWindowData();
    if (data.window.handle == 0) return -1;
    const plat::Rect& client = data.window.clientRect;
    *out = data.settings.windowed ? RECT{client.left, client.top, client.right, client.bottom}
                                  : RECT{0, 0, 0, 0};
    return 0;
}
int HostNoMenu() { return 0; }
void HostBlackBackground(int32_t* r, int32_t* g, int32_t* b) { *r = *g = *b = 0; }
int32_t HostOsCode() { return GetWindowData().cpu.osCode; }
int HostMmx() { return GetWindowData().cpu.mmx ? 1 : 0; }
void HostFitWindow() { ApplyWindowModeStyle(); }
void HostDesktopSize(int32_t* width, int32_t* height) {
    *width = GetWindowData().machine.desktopWidth;
    *height = GetWindowData().machine.desktopHeight;
}

void HostRestartInput() {
    const bool wasStarted = GetInputState().started != 0;
    TermInputSystem();
    if (wasStarted) InitInputSystem();
}

const ScreenHostDriver kLibraryScreenHost = {
    HostWindow, HostWindowed,       HostWindowScale,   HostWindowDrawRect,
    HostNoMenu, HostBlackBackground, ProcessMessage,   WaitWhileInactive,
    HostOsCode, HostMmx,            HostFitWindow,     HostDesktopSize,
    HostRestartInput,
};

int StartGraphics() {
    ScreenHostSlot().Install(kLibraryScreenHost);
    FontSlot().Install(kFontModule);
    MovieSlot().Install(kMovieModule);
    MovieDrawSlot().Install(kMovieDrawModule);
    // On an OS of code 264 (a Windows of major version 6) the front screen is drawn through a
    // temporary primary.
    if (GetWindowData().cpu.osCode == 264) SetUseTempPrimary(1);
    return StartGraphicsOutput();
}

int StopGraphics() {
    StopGraphicsOutput();
    FontSlot().Reset();
    MovieSlot().Reset();
    MovieDrawSlot().Reset();
    ScreenHostSlot().Reset();
    return 0;
}

int StopMusicAndSounds() {
    StopCurrentMusic();
    return StopAllSounds();
}

int TurnOnVSyncWait() { return SetVSyncWait(1); }

int SetFirstDrawTargets() {
    SetDrawTarget(kDrawTargetBack);
    SetDrawTarget(kDrawTargetFront);
    return 0;
}

// A black 256 x 256 graph made from an image; -1 when it cannot be made.
HandleValue MakeBlackGraph() {
    GraphImage image = {};
    if (InitGraphImageRgb24(256, 256, &image) != 0) return kNoHandle;
    FillGraphImage(&image, 0, 0, 0, 255);
    const HandleValue graph = MakeGraphFromImage(&image);
    FreeGraphImage(&image);
    return graph;
}

// The first clears of both screens, drawn with graphs so that start-up takes the roads every
// later draw takes: a drawable graph is made a draw target once, a black graph is drawn on the
// back and the front screen, and a second one is drawn stretched over the whole front screen.
// The front screen stays the draw target.
int ClearBothScreens() {
    SetNewGraphsDrawable(1);
    const HandleValue blank = CreateBlankGraph(256, 256, 0);
    SetNewGraphsDrawable(0);
    if (blank != kNoHandle) {
        SetDrawTarget(blank);
        SetDrawTarget(kDrawTargetFront);
        DeleteGraphHandle(blank, 0);
    }
    SetDrawTarget(kDrawTargetBack);

    const HandleValue first = MakeBlackGraph();
    if (first != kNoHandle) {
        SetBlendState(kBlendSubtract, 128);
        BlitGraph2D(0, 0, GetGraphRecord(first), 1, 1);
        SetBlendState(kBlendNone, 0);
        SetDrawTarget(kDrawTargetFront);
        BlitGraph2D(0, 0, GetGraphRecord(first), 1, 1);
        DeleteGraphHandle(first, 0);
    }
    SetDrawTarget(kDrawTargetFront);

    const HandleValue second = MakeBlackGraph();
    if (second != kNoHandle) {
        BlitGraphStretchedSoft(0, 0, 640, 480, GetGraphRecord(second), 0, 1, kNoHandle);
        DeleteGraphHandle(second, 0);
    }
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
    {"archives", ClearArchiveFileTables, CloseEveryArchive, nullptr, F::kCannotFail, 12},
    {"log", StartTheLog, nullptr, nullptr, F::kCannotFail, 0},
    {"screen depth check", CheckScreenDepth, nullptr, nullptr, F::kAbortsStartUp, 0},
    {"clock counter", ChooseClockCounter, nullptr, nullptr, F::kCannotFail, 0},
    {"system information", LogSystemInfo, nullptr, nullptr, F::kCannotFail, 0},
    {"stream functions", StartStreamFunctions, nullptr, nullptr, F::kCannotFail, 0},
    {"graph reload handler", ClearGraphReloadHandler, nullptr, nullptr, F::kCannotFail, 0},
    {"COM", InitCom, EndCom, nullptr, F::kEndsStartUp, 8},
    {"window system", InitWindowSystem, TermWindowSystem, nullptr, F::kEndsStartUp, 7},
    // Start: the HTTP handle table is cleared. End: HTTP transfers and networking end.
    {"network", StartNetWorkModule, EndNetWorkModule, nullptr, F::kCannotFail, 2},
    {"input", InitInputSystem, TermInputSystem, &S::noInput, F::kEndsStartUp, 5},
    {"sound output", StartSoundOutput, StopSoundOutput, &S::noSound, F::kIgnored, 6},
    // End: the current music is stopped and every sound with it, before graphics end.
    {"sounds", nullptr, StopMusicAndSounds, nullptr, F::kCannotFail, 3},
    {"graphics", StartGraphics, StopGraphics, &S::noGraphics, F::kEndsStartUp, 4},
    {"character input", InitCharInput, nullptr, nullptr, F::kCannotFail, 0},
    {"clock", StartClock, StopClock, nullptr, F::kCannotFail, 9},
    {"vertical-blank wait", TurnOnVSyncWait, nullptr, nullptr, F::kCannotFail, 0},
    {"foreground window", BringFullScreenWindowForward, nullptr, nullptr, F::kCannotFail, 0},
    // Start: the on-screen console is created. End: its font is deleted.
    {"console", StartScreenConsole, EndScreenConsole, nullptr, F::kCannotFail, 1},
    {"draw targets", SetFirstDrawTargets, nullptr, nullptr, F::kCannotFail, 0},
    // Both screens cleared to black (the front screen stays the draw target).
    {"screen clears", ClearBothScreens, nullptr, &S::noGraphics, F::kCannotFail, 0},
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
