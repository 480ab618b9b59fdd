// The library's public entries: the only header the game includes.
//
// Each entry takes the library-wide lock, calls the library routine it is named after (without
// the "Api" prefix) with the same arguments in the same order, releases the lock and returns
// that routine's result unchanged. An entry may be called before ApiInitLibrary; the first
// call of any entry creates the lock.
#pragma once

// The millisecond clock (milliseconds since the process started). The argument is ignored.
int ApiGetMillisecondCount(int unused);
