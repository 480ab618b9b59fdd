#include "library/library_pump_services.h"

#include "sound/music/music_handles.h"
#include "sound/stream/sound_stream.h"
#include "system/input.h"
#include "system/network_library_steps.h"
#include "system/key_input.h"
#include "system/pump_services.h"

namespace {

// One record with a step from each supplying module; entries without a supplier keep the
// absent steps, which do nothing.
const PumpServices kLibraryPumpServices = [] {
    PumpServices services = PumpServicesSlot().Absent();
    services.refillSoundStreams = [] { RefillAllStreamSounds(); };
    services.pollMusic = [] { PollMusicPlayback(); };
    services.stepJoypadEffects = StepJoypadEffects;
    services.stepSocketMessages = StepSocketMessages;
    services.stepHttpTransfers = StepHttpTransfers;
    services.stepKeyInput = StepKeyInput;
    return services;
}();

}  // namespace

int InstallLibraryPumpServices() {
    PumpServicesSlot().Install(kLibraryPumpServices);
    return 0;
}

int ResetLibraryPumpServices() {
    PumpServicesSlot().Reset();
    return 0;
}
