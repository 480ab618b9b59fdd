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
    {"platform backends", HandPlatformBackendsDown, nullptr, nullptr, F::kCannotFail, 0},
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
