// The SDL2 backend's record: SDL's windows, its joysticks for input, and its audio device shared
// by every sound device, with the clocked null sink when the device does not open.
#include "platform/backend/backend_entries.h"
#include "platform/backend/sdl2/sdl2_audio.h"

namespace plat {

constinit const BackendRecord kSdl2BackendRecord = {
    .makeWindow = CreateSdl2Backend,
    .makeInput = CreateSdl2InputBackend,
    .openAudio = snd::OpenSdl2AudioSink,
    .makeNullSink = snd::MakeHeadlessNullAudioSink,
};

}  // namespace plat
