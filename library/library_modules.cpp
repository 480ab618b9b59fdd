#include "library/library_modules.h"

#include <cstring>

#include "library/library_drivers.h"
#include "library/library_module_steps.h"
#include "library/library_startup.h"
#include "library/platform_backends.h"
#include "sound/sound_system.h"
#include "system/input.h"
#include "system/key_input_state.h"
#include "net/network_library_steps.h"
#include "system/screen_console.h"
#include "system/window_system.h"

namespace {

using S = WindowSettings;
using F = StartFailure;

// Shut-down ranks. The ends run in this order: the console's font, HTTP transfers and
// networking, all sounds stopped, graphics, input, sound output, the window system, COM, the
// clock, the window's last messages, the start directory, the archives, the tracked-memory
// dump, and last the library's drivers.
const LibraryModule kModules[] = {
    // The platform's window backends with their input and sound entries, before anything that
    // uses them.
    {.name = "platform backends", .start = HandPlatformBackendsDown},
    {.name = "library drivers",
     .start = InstallLibraryDrivers, .end = ResetLibraryDrivers, .endRank = 14},
    {.name = "tracked memory", .end = DumpTrackedMemory, .endRank = 13},
    {.name = "window backend", .start = BindWindowBackend, .end = DrainLastMessages, .endRank = 10},
    {.name = "start directory",
     .start = NoteStartDirectory, .end = RestoreStartDirectory, .endRank = 11},
    // Start: the archive and file-handle tables are cleared. End: every archive is closed.
    {.name = "archives", .start = ClearArchiveFileTables, .end = CloseEveryArchive, .endRank = 12},
    {.name = "log", .start = StartTheLog},
    {.name = "screen depth check", .start = CheckScreenDepth, .failure = F::kAbortsStartUp},
    {.name = "clock counter", .start = ChooseClockCounter},
    {.name = "system information", .start = LogSystemInfo},
    {.name = "stream functions", .start = StartStreamFunctions},
    {.name = "graph reload handler", .start = ClearGraphReloadHandler},
    {.name = "COM", .start = InitCom, .end = EndCom, .failure = F::kEndsStartUp, .endRank = 8},
    {.name = "window system",
     .start = InitWindowSystem, .end = TermWindowSystem, .failure = F::kEndsStartUp, .endRank = 7},
    // Start: the HTTP handle table is cleared. End: HTTP transfers and networking end.
    {.name = "network", .start = StartNetWorkModule, .end = EndNetWorkModule, .endRank = 2},
    {.name = "input",
     .start = InitInputSystem, .end = TermInputSystem, .offSwitch = &S::noInput,
     .failure = F::kEndsStartUp, .endRank = 5},
    {.name = "sound output",
     .start = StartSoundOutput, .end = StopSoundOutput, .offSwitch = &S::noSound,
     .failure = F::kIgnored, .endRank = 6},
    // End: the current music is stopped and every sound with it, before graphics end.
    {.name = "sounds", .end = StopMusicAndSounds, .endRank = 3},
    {.name = "graphics",
     .start = StartGraphics, .end = StopGraphics, .offSwitch = &S::noGraphics,
     .failure = F::kEndsStartUp, .endRank = 4},
    {.name = "character input", .start = InitCharInput},
    {.name = "clock", .start = StartClock, .end = StopClock, .endRank = 9},
    {.name = "vertical-blank wait", .start = TurnOnVSyncWait},
    {.name = "foreground window", .start = BringFullScreenWindowForward},
    // Start: the on-screen console is created. End: its font is deleted.
    {.name = "console", .start = StartScreenConsole, .end = EndScreenConsole, .endRank = 1},
    {.name = "draw targets", .start = SetFirstDrawTargets},
    // Both screens cleared to black (the front screen stays the draw target).
    {.name = "screen clears", .start = ClearBothScreens, .offSwitch = &S::noGraphics},
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
