// The game's wall-clock time in seconds, for seeding rand(). It is read from the library's
// local date and time rather than the C runtime's clock, so a run with a fixed start time
// (ZN_NOW) draws the same random numbers every time.
#pragma once
#include "api.h"

// Seconds from 1970-01-01 00:00:00 to the date and time (proleptic Gregorian calendar; the
// milliseconds are dropped).
long long secondsSinceEpoch(const ApiDateTime& t);
// Seconds since 1970-01-01 00:00:00 of the library's local date and time now (0 when it cannot
// be read).
long long currentTimeSeconds();
