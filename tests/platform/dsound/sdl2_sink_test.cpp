// SDL2's audio sink on SDL's dummy output driver: its callback, on SDL's audio thread, pulls
// the mix and moves the voices, and closing it stops the pulling before the mixer goes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/backend/sdl2/sdl2_audio.h"

namespace {

TEST(Sdl2AudioSink, TheCallbackPullsTheMixOnSdlsThread) {
    // Only the audio driver is chosen here; the window backend is not touched.
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0);
    plat::snd::Mixer mixer;
    auto samples = std::make_shared<plat::snd::SampleStore>();
    samples->size = 4410 * 2;
    samples->bytes.reset(new uint8_t[samples->size]());
    plat::snd::Voice voice;
    voice.samples = samples;
    voice.format = {1, 1, 44100, 88200, 2, 16, 0};
    voice.frames = 4410;
    voice.frequency = 44100;
    voice.UpdateStep();
    voice.UpdateGains();
    voice.playing = true;
    voice.looping = true;
    {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        mixer.voices.push_back(&voice);
    }
    std::unique_ptr<plat::snd::AudioSink> sink = plat::snd::OpenSdl2AudioSink(&mixer);
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->Kind(), plat::snd::SinkKind::Sdl2);
    // Wait for a few callbacks (a count, not a time).
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(mixer.mutex);
            if (mixer.framesOut >= 4096) break;
        }
        std::this_thread::yield();
    }
    sink.reset();  // waits for a running callback
    std::lock_guard<std::mutex> hold(mixer.mutex);
    const uint64_t mixed = mixer.framesOut;
    EXPECT_GE(mixed, 4096u);
    EXPECT_EQ(voice.position >> 16, mixed % 4410);
    EXPECT_TRUE(voice.playing);
}

}  // namespace

namespace {

// A looping voice of a constant value in its own mixer.
struct ConstantMixer {
    explicit ConstantMixer(int16_t value) {
        samples->size = 441 * 2;
        samples->bytes.reset(new uint8_t[samples->size]);
        for (size_t i = 0; i < samples->size / 2; ++i) {
            std::memcpy(samples->bytes.get() + i * 2, &value, 2);
        }
        voice.samples = samples;
        voice.format = {1, 1, 44100, 88200, 2, 16, 0};
        voice.frames = 441;
        voice.frequency = 44100;
        voice.UpdateStep();
        voice.UpdateGains();
        voice.playing = true;
        voice.looping = true;
        std::lock_guard<std::mutex> hold(mixer.mutex);
        mixer.voices.push_back(&voice);
    }
    uint64_t FramesOut() {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        return mixer.framesOut;
    }
    plat::snd::Mixer mixer;
    std::shared_ptr<plat::snd::SampleStore> samples = std::make_shared<plat::snd::SampleStore>();
    plat::snd::Voice voice;
};

// Two sound devices at once (the library's and a movie's) share SDL's one output: both open,
// both are pulled, and either can go first.
TEST(Sdl2AudioSink, TwoSinksShareTheOneOutputAndBothArePulled) {
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0);
    ConstantMixer first(1000);
    ConstantMixer second(-300);
    std::unique_ptr<plat::snd::AudioSink> a = plat::snd::OpenSdl2AudioSink(&first.mixer);
    ASSERT_NE(a, nullptr);
    std::unique_ptr<plat::snd::AudioSink> b = plat::snd::OpenSdl2AudioSink(&second.mixer);
    ASSERT_NE(b, nullptr) << "the second sink could not reach the output";
    while (first.FramesOut() < 4096 || second.FramesOut() < 4096) std::this_thread::yield();
    a.reset();  // the first goes; the second is still pulled
    const uint64_t before = second.FramesOut();
    while (second.FramesOut() < before + 4096) std::this_thread::yield();
    const uint64_t firstAfterClose = first.FramesOut();
    b.reset();
    EXPECT_EQ(first.FramesOut(), firstAfterClose);  // nothing pulled it after it went
    // A sink opened after both went opens the output again.
    std::unique_ptr<plat::snd::AudioSink> c = plat::snd::OpenSdl2AudioSink(&first.mixer);
    EXPECT_NE(c, nullptr);
}

}  // namespace
