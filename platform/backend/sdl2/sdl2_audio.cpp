#include "platform/backend/sdl2/sdl2_audio.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace plat::snd {

namespace {

// SDL's audio device is opened once for the process and shared: every sound device of the
// platform (the library's own, and the one a movie makes for its sound) hands its mixer to it,
// and the one callback sums their mixes. Opening the default device a second time fails on
// some drivers, which would leave the second device silent.
class SharedSdlOutput {
public:
    static SharedSdlOutput& Get() {
        static SharedSdlOutput* output = new SharedSdlOutput;  // lives for the whole process
        return *output;
    }

    bool Attach(Mixer* mixer) {
        std::lock_guard<std::mutex> hold(mutex_);
        if (device_ == 0 && !Open()) return false;
        mixers_.push_back(mixer);
        return true;
    }

    // After this returns the callback no longer touches mixer; the last one closes SDL's
    // device (waiting for a running callback) and ends SDL's audio.
    void Detach(Mixer* mixer) {
        SDL_AudioDeviceID closing = 0;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            mixers_.erase(std::remove(mixers_.begin(), mixers_.end(), mixer), mixers_.end());
            if (mixers_.empty() && device_ != 0) {
                closing = device_;
                device_ = 0;
            }
        }
        if (closing != 0) {
            SDL_CloseAudioDevice(closing);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

private:
    bool Open() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "sound: SDL audio cannot start (%s); output is silent\n",
                         SDL_GetError());
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(kOutputRate);
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(kOutputChannels);
        want.samples = 1024;
        want.callback = &SharedSdlOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the device wants.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            std::fprintf(stderr, "sound: no audio device opens (%s); output is silent\n",
                         SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    static void SDLCALL Callback(void* userdata, Uint8* stream, int len) {
        auto* self = static_cast<SharedSdlOutput*>(userdata);
        auto* out = reinterpret_cast<int16_t*>(stream);
        const uint32_t frames = static_cast<uint32_t>(len) / (kOutputChannels * 2);
        const size_t samples = static_cast<size_t>(frames) * kOutputChannels;
        SDL_memset(stream, 0, static_cast<size_t>(len));
        std::lock_guard<std::mutex> hold(self->mutex_);
        if (self->mixers_.size() == 1) {
            Mixer* mixer = self->mixers_[0];
            std::lock_guard<std::mutex> mixing(mixer->mutex);
            mixer->MixLocked(out, frames);
            return;
        }
        // More than one: each mix into its own block, summed with saturation.
        self->sum_.assign(samples, 0);
        self->part_.resize(samples);
        for (Mixer* mixer : self->mixers_) {
            {
                std::lock_guard<std::mutex> mixing(mixer->mutex);
                mixer->MixLocked(self->part_.data(), frames);
            }
            for (size_t i = 0; i < samples; ++i) self->sum_[i] += self->part_[i];
        }
        for (size_t i = 0; i < samples; ++i) {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(self->sum_[i], -32768, 32767));
        }
    }

    std::mutex mutex_;  // guards the list; held by the callback while it mixes
    std::vector<Mixer*> mixers_;
    SDL_AudioDeviceID device_ = 0;
    std::vector<int32_t> sum_;
    std::vector<int16_t> part_;
};

class Sdl2AudioSink final : public AudioSink {
public:
    explicit Sdl2AudioSink(Mixer* mixer) : mixer_(mixer) {}
    ~Sdl2AudioSink() override {
        if (attached_) SharedSdlOutput::Get().Detach(mixer_);
    }

    bool Open() {
        attached_ = SharedSdlOutput::Get().Attach(mixer_);
        return attached_;
    }

    SinkKind Kind() const override { return SinkKind::Sdl2; }
    const char* Name() const override { return "sdl2"; }

private:
    Mixer* mixer_;
    bool attached_ = false;
};

}  // namespace

std::unique_ptr<AudioSink> OpenSdl2AudioSink(Mixer* mixer) {
    auto sink = std::make_unique<Sdl2AudioSink>(mixer);
    if (!sink->Open()) return nullptr;
    return sink;
}

}  // namespace plat::snd
