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
