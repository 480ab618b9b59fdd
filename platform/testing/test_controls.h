// Fault injection of the platform layer: each switch makes the next n calls of its kind fail.
// Only tests set them.
#pragma once

namespace plat {

void FailNextAllocations(int count);
void FailNextThreadStarts(int count);
void FailNextEventCreates(int count);
void FailNextFileOpens(int count);
// The next count reads of a disk file (plat::ReadFile) fail as an I/O error would.
void FailNextFileReads(int count);
// Clears every fault switch, stops the debug capture and returns to the real clock.
void ResetTestControls();

}  // namespace plat
