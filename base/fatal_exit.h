// The exit for conditions the library cannot go on from, as the lower layers reach it. The
// library top installs its fatal-error routine here when it starts (which logs the text, shuts
// the library down and ends the process); without it the text is only logged and the call
// returns -1, so that the caller ends what it started and reports the failure.
#pragma once
#include "base/driver_slot.h"

struct FatalExitDriver {
    // Does not return when the library's routine is installed; -1 otherwise.
    int (*exit)(const char* text);
};

DriverSlot<FatalExitDriver>& FatalExitSlot();

// Hands the text to the installed fatal exit. Returns -1 when that returns at all.
int FatalExit(const char* text);
