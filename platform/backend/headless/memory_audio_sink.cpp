// The memory sink: the mix advances only when a test asks for frames, and every frame mixed
// is kept.
#include "platform/dsound/sound_mixer.h"

namespace plat::snd {

void MemoryAudioSink::RenderLocked(uint32_t frames, std::vector<int16_t>* out) {
    const size_t start = record_.size();
    record_.resize(start + static_cast<size_t>(frames) * kOutputChannels);
    mixer_->MixLocked(record_.data() + start, frames);
    if (out != nullptr) out->insert(out->end(), record_.begin() + start, record_.end());
}

}  // namespace plat::snd
