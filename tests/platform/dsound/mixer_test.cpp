// The mixer heard through the memory sink: amplitude, sums and saturation, loops, volume,
// pan, frequency, duplicates.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

#include "tests/platform/dsound/sound_fixture.h"

namespace {

using MixerTest = SoundFixture;

std::vector<int16_t> Constant(uint32_t frames, int16_t value) {
    return std::vector<int16_t>(frames, value);
}

TEST_F(MixerTest, SineAtZeroDbComesOutUnchangedOnBothSides) {
    const std::vector<int16_t> sine = Sine(4410, 1000.0, 12000.0);
    plat::IDirectSoundBuffer* b = Make16(sine);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->SetVolume(0), plat::DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    const std::vector<int16_t> out = Render(4410);
    int peak = 0;
    for (size_t i = 0; i < sine.size(); ++i) {
        ASSERT_EQ(out[2 * i], sine[i]) << "left, frame " << i;
        ASSERT_EQ(out[2 * i + 1], sine[i]) << "right, frame " << i;
        peak = std::max(peak, std::abs(static_cast<int>(out[2 * i])));
    }
    EXPECT_EQ(peak, 12000);
    // The one-shot ended: it stopped, its position went back to 0, and silence follows.
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(PlayCursor(b), 0u);
    for (int16_t s : Render(100)) ASSERT_EQ(s, 0);
}

TEST_F(MixerTest, SoundsSumAndSaturateAtTheEnd) {
    struct Case {
        int16_t a, b, c;  // three buffers' constant values
        int16_t expected;
    };
    const Case cases[] = {
        {10000, 12000, 0, 22000},
        {20000, 20000, 0, 32767},       // saturates high
        {-20000, -20000, 0, -32768},    // saturates low
        {30000, 30000, -30000, 30000},  // 32-bit sum before the clamp: no early saturation
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " + " << c.b << " + " << c.c);
        std::vector<plat::IDirectSoundBuffer*> bs = {Make16(Constant(64, c.a)), Make16(Constant(64, c.b)),
                                                     Make16(Constant(64, c.c))};
        for (auto* b : bs) ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
        const std::vector<int16_t> out = Render(32);
        for (int16_t s : out) ASSERT_EQ(s, c.expected);
        for (auto* b : bs) ASSERT_EQ(b->Stop(), plat::DS_OK);
    }
}

TEST_F(MixerTest, LoopRepeatsWithoutASeam) {
    // 100 frames are exactly one period of 441 Hz: a looped buffer plays it round and round.
    const std::vector<int16_t> period = Sine(100, 441.0, 20000.0);
    plat::IDirectSoundBuffer* b = Make16(period);
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    EXPECT_EQ(Status(b), plat::DSBSTATUS_PLAYING | plat::DSBSTATUS_LOOPING);
    const std::vector<int16_t> out = Render(1050);
    for (size_t i = 0; i < 1050; ++i) ASSERT_EQ(out[2 * i], period[i % 100]) << "frame " << i;
    EXPECT_EQ(PlayCursor(b), 50u * 2);
}

TEST_F(MixerTest, LoopAtAnOddRateInterpolatesAcrossItsEnd) {
    // At a rate that does not divide the output rate the reads fall between frames, also
    // between the last frame and the first: no step is larger than the sine's own slope allows.
    const double amplitude = 20000.0;
    const std::vector<int16_t> period = Sine(100, 441.0, amplitude);
    plat::IDirectSoundBuffer* b = Make16(period);
    ASSERT_EQ(b->SetFrequency(30011), plat::DS_OK);
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    const std::vector<int16_t> out = Render(3000);
    const double step = 30011.0 / 44100.0;
    const double largest = amplitude * 2.0 * std::numbers::pi / 100.0 * step + 2.0;
    int peak = 0;
    for (size_t i = 1; i < 3000; ++i) {
        ASSERT_LE(std::abs(out[2 * i] - out[2 * i - 2]), largest) << "frame " << i;
        peak = std::max(peak, std::abs(static_cast<int>(out[2 * i])));
    }
    EXPECT_GT(peak, 19500);
}

TEST_F(MixerTest, HalfRateInterpolatesLinearly) {
    std::vector<int16_t> ramp(16);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(1000 * i);
    plat::IDirectSoundBuffer* b = Make16(ramp, 1, 22050);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    const std::vector<int16_t> out = Render(30);
    for (size_t i = 0; i < 30; ++i) ASSERT_EQ(out[2 * i], static_cast<int16_t>(500 * i)) << i;
}

TEST_F(MixerTest, VolumeScalesByTenToTheLevelOverTwoThousand) {
    // Tolerance: 2 units of the 16-bit output (gain rounding and truncation).
    struct Case {
        int32_t level;
        double factor;
    };
    const Case cases[] = {{0, 1.0}, {-600, 0.5012}, {-2000, 0.1}, {-6000, 0.001}, {-10000, 0.0}};
    plat::IDirectSoundBuffer* b = Make16(Constant(256, 20000));
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        ASSERT_EQ(b->SetVolume(c.level), plat::DS_OK);
        int32_t back = 1;
        ASSERT_EQ(b->GetVolume(&back), plat::DS_OK);
        EXPECT_EQ(back, c.level);
        const std::vector<int16_t> out = Render(8);
        for (int16_t s : out) ASSERT_NEAR(s, 20000.0 * c.factor, 2.0);
    }
    // -600 is half the amplitude within half a per cent.
    ASSERT_EQ(b->SetVolume(-600), plat::DS_OK);
    EXPECT_NEAR(Render(1)[0] / 20000.0, 0.5, 0.005);
}

TEST_F(MixerTest, PanAttenuatesTheFarSide) {
    struct Case {
        int32_t pan;
        double left, right;
    };
    const Case cases[] = {{0, 1.0, 1.0}, {-10000, 1.0, 0.0}, {10000, 0.0, 1.0},
                          {-600, 1.0, 0.5012}, {600, 0.5012, 1.0}};
    plat::IDirectSoundBuffer* b = Make16(Constant(64, 16000));
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        ASSERT_EQ(b->SetPan(c.pan), plat::DS_OK);
        const std::vector<int16_t> out = Render(4);
        EXPECT_NEAR(out[0], 16000.0 * c.left, 2.0);
        EXPECT_NEAR(out[1], 16000.0 * c.right, 2.0);
    }
}

TEST_F(MixerTest, EightBitAndStereoSourcesAreWidened) {
    plat::IDirectSoundBuffer* b = Make(Pcm(2, 44100, 8), 8);
    const uint8_t frames[8] = {255, 0, 128, 128, 0, 255, 192, 64};
    Write(b, 0, frames, 8);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    const std::vector<int16_t> out = Render(4);
    const int16_t expected[8] = {32512, -32768, 0, 0, -32768, 32512, 16384, -16384};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    // A new 8-bit buffer holds silence (128), which mixes to 0.
    plat::IDirectSoundBuffer* quiet = Make(Pcm(1, 44100, 8), 16);
    EXPECT_EQ(Read(quiet)[0], 128);
    ASSERT_EQ(quiet->Play(0, 0, 0), plat::DS_OK);
    for (int16_t s : Render(8)) ASSERT_EQ(s, 0);
}

TEST_F(MixerTest, DuplicatesShareSamplesButPlayOnTheirOwn) {
    plat::IDirectSoundBuffer* a = Make16(Constant(1000, 1000));
    plat::IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(a, &b), plat::DS_OK);
    made_.push_back(b);
    // A write through the duplicate is in the original.
    const std::vector<int16_t> three = Constant(1000, 3000);
    Write(b, 0, three.data(), 2000);
    const std::vector<uint8_t> bytes = Read(a);
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 3000);
    EXPECT_EQ(bytes[1998] | (bytes[1999] << 8), 3000);

    // Playing the original leaves the duplicate stopped.
    ASSERT_EQ(a->Play(0, 0, 0), plat::DS_OK);
    EXPECT_EQ(Status(b), 0u);
    Render(100);
    EXPECT_EQ(PlayCursor(a), 200u);
    EXPECT_EQ(PlayCursor(b), 0u);
    // Both playing sum; each has its own volume and position.
    ASSERT_EQ(b->SetCurrentPosition(1000), plat::DS_OK);
    ASSERT_EQ(b->SetVolume(-10000), plat::DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    EXPECT_EQ(Render(1)[0], 3000);
    ASSERT_EQ(b->SetVolume(0), plat::DS_OK);
    EXPECT_EQ(Render(1)[0], 6000);
    EXPECT_EQ(PlayCursor(a), 204u);
    EXPECT_EQ(PlayCursor(b), 1004u);
    ASSERT_EQ(a->Stop(), plat::DS_OK);
    EXPECT_EQ(Status(b), plat::DSBSTATUS_PLAYING);
    EXPECT_EQ(Render(1)[0], 3000);
    // The samples outlive the original.
    ASSERT_EQ(a->Release(), 0u);
    made_.erase(made_.begin());
    EXPECT_EQ(Render(1)[0], 3000);
}

TEST_F(MixerTest, StopKeepsThePositionAndPlayGoesOnFromIt) {
    std::vector<int16_t> ramp(100);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 10);
    plat::IDirectSoundBuffer* b = Make16(ramp);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    Render(30);
    ASSERT_EQ(b->Stop(), plat::DS_OK);
    for (int16_t s : Render(10)) ASSERT_EQ(s, 0);
    EXPECT_EQ(PlayCursor(b), 60u);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    EXPECT_EQ(Render(1)[0], 300);
    ASSERT_EQ(b->SetCurrentPosition(81), plat::DS_OK);  // rounded down to frame 40
    EXPECT_EQ(Render(1)[0], 400);
}

TEST_F(MixerTest, LostBuffersRefuseUntilRestored) {
    plat::IDirectSoundBuffer* b = Make16(Constant(16, 5000));
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    plat::LoseSoundBuffers();
    EXPECT_EQ(Status(b), plat::DSBSTATUS_BUFFERLOST);
    for (int16_t s : Render(4)) ASSERT_EQ(s, 0);
    void* p1 = nullptr;
    uint32_t n1 = 0;
    EXPECT_EQ(b->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), plat::DSERR_BUFFERLOST);
    EXPECT_EQ(b->Play(0, 0, 0), plat::DSERR_BUFFERLOST);
    ASSERT_EQ(b->Restore(), plat::DS_OK);
    EXPECT_EQ(Status(b), 0u);
    const std::vector<uint8_t> bytes = Read(b);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t v) { return v == 0; }));
}

}  // namespace

namespace {

// The audio side pulls the mix on a thread of its own while the caller's side changes the
// buffers: every change waits for the mixer's lock, and a released buffer leaves the mix
// before its memory goes (the address sanitizer sees any read of freed samples).
TEST_F(MixerTest, MixingOnAnotherThreadWhileBuffersChange) {
    std::atomic<bool> done{false};
    std::atomic<int> mixes{0};
    std::thread audio([&] {
        while (!done.load()) {
            std::vector<int16_t> out;
            if (plat::RenderSoundOutput(64, &out)) ++mixes;
        }
    });
    const std::vector<int16_t> tone = Sine(512, 1000.0, 8000.0);
    for (int round = 0; round < 200; ++round) {
        plat::IDirectSoundBuffer* b = Make16(tone);
        plat::IDirectSoundBuffer* dup = nullptr;
        ASSERT_EQ(ds_->DuplicateSoundBuffer(b, &dup), plat::DS_OK);
        ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
        ASSERT_EQ(dup->Play(0, 0, 0), plat::DS_OK);
        ASSERT_EQ(b->SetVolume(-(round * 50)), plat::DS_OK);
        Write(b, 1000, tone.data(), 48);  // wraps while it plays
        PlayCursor(b);
        ASSERT_EQ(b->Release(), 0u);      // the original goes first, the duplicate still plays
        made_.pop_back();
        ASSERT_EQ(dup->Release(), 0u);
    }
    // Wait for some mixing to have happened (a count, not a time).
    while (mixes.load() < 10) std::this_thread::yield();
    done = true;
    audio.join();
    EXPECT_GE(mixes.load(), 10);
}

}  // namespace

namespace {

TEST_F(MixerTest, PrimaryVolumeScalesTheSumBeforeItSaturates) {
    plat::DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = plat::DSBCAPS_PRIMARYBUFFER | plat::DSBCAPS_CTRLVOLUME;
    plat::IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), plat::DS_OK);
    made_.push_back(primary);
    plat::IDirectSoundBuffer* a = Make16(std::vector<int16_t>(64, 20000));
    plat::IDirectSoundBuffer* b = Make16(std::vector<int16_t>(64, 20000));
    ASSERT_EQ(a->Play(0, 0, 0), plat::DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    ASSERT_EQ(primary->SetVolume(-600), plat::DS_OK);
    // 40000 at -6 dB: 20048 (within 2), not the saturated 32767 halved.
    for (int16_t s : Render(8)) ASSERT_NEAR(s, 40000 * 0.5012, 2.0);
    ASSERT_EQ(primary->SetVolume(0), plat::DS_OK);
    for (int16_t s : Render(8)) ASSERT_EQ(s, 32767);
}

}  // namespace
