// The one service the sound system needs from above it: a pass of the message pump, which a
// play of type 0 runs while it waits for its sound to end. The library top installs the real
// pump when it starts; the absent instance pumps nothing and never reports quit, so a waiting
// play still waits for its sound's end.
#pragma once
#include "base/driver_slot.h"

struct SoundPumpDriver {
    // One pass of the message pump: 0, or -1 once the library is to end.
    int (*processMessage)();
};

DriverSlot<SoundPumpDriver>& SoundPumpSlot();
