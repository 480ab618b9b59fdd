// The SDL2 audio sink of the sound layer: SDL's audio device, opened once for the process for
// 16-bit stereo at the mixer's rate and shared by every sink; its callback (on SDL's audio
// thread) pulls each sink's mix under that mixer's mutex and sums them.
#pragma once
#include <memory>

#include "platform/dsound/sound_mixer.h"

namespace plat::snd {

// Connects mixer to the default output device (opening it for the first sink); null when
// SDL's audio cannot start or no device opens. Called on the window backend's thread.
std::unique_ptr<AudioSink> OpenSdl2AudioSink(Mixer* mixer);

}  // namespace plat::snd
