// The SDL2 audio sink of the sound layer: SDL's audio device, opened for 16-bit stereo at the
// mixer's rate, whose callback (on SDL's audio thread) pulls the mix under the mixer's mutex.
#pragma once
#include <memory>

#include "platform/dsound/sound_mixer.h"

namespace plat::snd {

// Opens the default output device for mixer; null when SDL's audio cannot start or no
// device opens. Called on the window backend's thread.
std::unique_ptr<AudioSink> OpenSdl2AudioSink(Mixer* mixer);

}  // namespace plat::snd
