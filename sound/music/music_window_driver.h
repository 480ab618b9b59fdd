// What the music needs from above the sound system: the library window, which MCI's end
// notifications are posted to. The absent instance names no window (0).
#pragma once
#include "base/driver_slot.h"
#include "platform/window/window.h"

struct MusicWindowDriver {
    plat::WindowHandle (*window)();
};

DriverSlot<MusicWindowDriver>& MusicWindowSlot();
