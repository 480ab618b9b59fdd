#include "library/library_pump_services.h"

#include "sound/music/music_handles.h"
#include "sound/stream/sound_stream.h"
#include "system/input.h"
#include "net/network_library_steps.h"
#include "system/key_input.h"
#include "system/pump_services.h"

namespace {

// One record with a step from each supplying module.
const PumpServices kLibraryPumpServices = {
    .refillSoundStreams = [] { RefillAllStreamSounds(); },
    .pollMusic = [] { PollMusicPlayback(); },
    .stepJoypadEffects = StepJoypadEffects,
    .stepSocketMessages = StepSocketMessages,
    .stepHttpTransfers = StepHttpTransfers,
    .stepKeyInput = StepKeyInput,
};

}  // namespace

int InstallLibraryPumpServices() {
    PumpServicesSlot().Install(kLibraryPumpServices);
    return 0;
}

int ResetLibraryPumpServices() {
    PumpServicesSlot().Reset();
    return 0;
}
