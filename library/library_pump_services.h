// The services the message pump runs on every call, composed by the library from the modules
// that supply them (sound streams, music, joypad effects, sockets, HTTP transfers and string
// input). Installed with the library's own drivers at the start of start-up and reset at its
// very end; each step is safe to run while its module is not started.
#pragma once

int InstallLibraryPumpServices();
int ResetLibraryPumpServices();
