// The drivers the library top supplies to the layers below it: the fatal exit, the window
// procedure, the sound module's message pump, the music module's window and the pump services
// for the whole life of the library; the screen's host, the 3D device's start and graphics'
// font and movie modules while graphics runs.
#pragma once

// Installed first in start-up and reset last in shut-down; 0.
int InstallLibraryDrivers();
int ResetLibraryDrivers();

// Installed before graphics starts and reset after it ended.
void InstallLibraryGraphicsDrivers();
void ResetLibraryGraphicsDrivers();
