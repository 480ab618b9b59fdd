// The services that the message pump runs on every call in place of threads of their own:
// sound streams, music, joypad effects, sockets, HTTP transfers and string input. They reach
// the pump as one driver: the absent instance does nothing in every step (no such service).
// The library top composes the instance from its modules' steps and installs it for the
// whole life of the library; each step does nothing while its module is not started.
#pragma once
#include "base/driver_slot.h"

struct PumpServices {
    void (*refillSoundStreams)();          // refill the streaming sounds' buffers
    void (*pollMusic)();                   // follow music playback
    void (*stepJoypadEffects)();           // run the joypad effects' timers
    void (*stepSocketMessages)(int flag);  // handle the queued socket notifications
    void (*stepHttpTransfers)();           // advance every live HTTP transfer
    void (*stepKeyInput)();                // edit the active string input
};

DriverSlot<PumpServices>& PumpServicesSlot();
// The services in use (the absent ones until a supplier installs its own).
inline const PumpServices& GetPumpServices() { return *PumpServicesSlot(); }
// Back to the absent services (tests; a supplier that goes away).
inline void ResetPumpServices() { PumpServicesSlot().Reset(); }
