#include "platform/backend/sdl2/sdl2_audio.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace plat::snd {

namespace {

class Sdl2AudioSink final : public AudioSink {
public:
    explicit Sdl2AudioSink(Mixer* mixer) : mixer_(mixer) {}

    ~Sdl2AudioSink() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
        if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "sound: SDL audio cannot start (%s); output is silent\n",
                         SDL_GetError());
            return false;
        }
        audioStarted_ = true;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(kOutputRate);
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(kOutputChannels);
        want.samples = 1024;
        want.callback = &Sdl2AudioSink::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the device wants.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            std::fprintf(stderr, "sound: no audio device opens (%s); output is silent\n",
                         SDL_GetError());
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    SinkKind Kind() const override { return SinkKind::Sdl2; }
    const char* Name() const override { return "sdl2"; }

private:
    static void SDLCALL Callback(void* userdata, Uint8* stream, int len) {
        auto* self = static_cast<Sdl2AudioSink*>(userdata);
        SDL_memset(stream, 0, static_cast<size_t>(len));
        const uint32_t frames = static_cast<uint32_t>(len) / (kOutputChannels * 2);
        std::lock_guard<std::mutex> hold(self->mixer_->mutex);
        self->mixer_->MixLocked(reinterpret_cast<int16_t*>(stream), frames);
    }

    Mixer* mixer_;
    SDL_AudioDeviceID device_ = 0;
    bool audioStarted_ = false;
};

}  // namespace

std::unique_ptr<AudioSink> OpenSdl2AudioSink(Mixer* mixer) {
    auto sink = std::make_unique<Sdl2AudioSink>(mixer);
    if (!sink->Open()) return nullptr;
    return sink;
}

}  // namespace plat::snd
