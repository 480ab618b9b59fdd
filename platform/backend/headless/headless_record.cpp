// The headless backend's record: windows without a display, the test pads for input, no audio
// output (sound devices play into the clocked null sink).
#include <memory>

#include "platform/backend/backend_entries.h"
#include "platform/dsound/sound_mixer.h"

namespace plat {

namespace {

std::unique_ptr<snd::AudioSink> NoAudioOutput(snd::Mixer*) { return nullptr; }

}  // namespace

constinit const BackendRecord kHeadlessBackendRecord = {
    .makeWindow = CreateHeadlessBackend,
    .makeInput = CreateTestInputBackend,
    .openAudio = NoAudioOutput,
    .makeNullSink = snd::MakeHeadlessNullAudioSink,
};

}  // namespace plat
