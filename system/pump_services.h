// The services that the message pump runs on every call in place of threads of their own:
// sound streams, music, joypad effects, sockets, HTTP transfers and string input. Each entry
// is installed by the module that owns the service when that module starts to exist; a null
// entry means the module is not there and its step is skipped.
#pragma once

struct PumpServices {
    void (*refillSoundStreams)();          // refill the streaming sounds' buffers
    void (*pollMusic)();                   // follow music playback
    void (*stepJoypadEffects)();           // run the joypad effects' timers
    void (*stepSocketMessages)(int flag);  // handle the queued socket notifications
    void (*stepHttpTransfers)();           // advance every live HTTP transfer
    void (*stepKeyInput)();                // edit the active string input
};

PumpServices& GetPumpServices();
// Clears every entry (tests; a module that goes away).
void ResetPumpServices();
