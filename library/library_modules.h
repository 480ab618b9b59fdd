// The library's modules in one table, in start-up order. InitLibrary starts the rows from the
// top; TermLibrary ends them by their shut-down rank. The library's own steps and drivers that
// the rows name are in library_module_steps.h and library_drivers.h.
#pragma once
#include <cstddef>
#include <cstdint>

#include "system/window_data.h"

// What a failing start does to start-up.
enum class StartFailure : uint8_t {
    kCannotFail,   // the start always succeeds
    kEndsStartUp,  // TermLibrary ends what was started; InitLibrary returns -1
    kAbortsStartUp,  // nothing is running yet: InitLibrary returns -1 at once
    kIgnored,      // start-up goes on
};

struct LibraryModule {
    const char* name = nullptr;
    int (*start)() = nullptr;  // negative on failure; null: nothing to start
    int (*end)() = nullptr;    // null: nothing to end
    // The setting that leaves the start out (noWindow, noInput...); null: always started. Ends
    // run whatever the settings; each module ends only what it started.
    uint32_t WindowSettings::*offSwitch = nullptr;
    StartFailure failure = StartFailure::kCannotFail;
    // Position in shut-down, from 1; 0: no part in shut-down.
    int endRank = 0;
};

// The rows in start-up order.
const LibraryModule* LibraryModules(size_t* count);

// The row of a name, or null.
const LibraryModule* FindLibraryModule(const char* name);
