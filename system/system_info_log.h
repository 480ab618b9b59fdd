// The system-information step of start-up: the library version, the OS, the processor and its
// speed go to the log and into WindowData (CpuFacts, ClockState).
#pragma once

// The library's version text.
inline constexpr const char kLibraryVersion[] = "2.24c";

// 0. Ends the process when no usable DirectX was recorded (which this system never does).
int OutputSystemInfo();
