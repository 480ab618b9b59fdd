// A fixture for the sound-output tests: a device on the memory sink (or the null sink), with
// helpers to make buffers, fill them through locks and read the mixed output, and a check at
// the end that every buffer and device was released.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

#include "platform/core/clock.h"
#include "platform/dsound/dsound.h"
#include "platform/testing/sound_test_controls.h"
#include "platform/testing/test_controls.h"

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
        Open();
    }

    void TearDown() override {
        for (plat::IDirectSoundBuffer* b : made_) b->Release();
        made_.clear();
        if (ds_ != nullptr) ds_->Release();
        ds_ = nullptr;
        EXPECT_EQ(plat::LiveSoundBuffers(), 0);
        EXPECT_EQ(plat::LiveSoundDevices(), 0);
        plat::ResetSoundTestControls();
        plat::ResetTestControls();
    }

    // A fresh device at the priority level (the sink as the test controls choose).
    void Open() {
        ASSERT_EQ(plat::DirectSoundCreate(nullptr, &ds_, nullptr), plat::DS_OK);
        ASSERT_EQ(ds_->SetCooperativeLevel(1, plat::DSSCL_PRIORITY), plat::DS_OK);
    }

    static plat::WAVEFORMATEX Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
        plat::WAVEFORMATEX f{};
        f.wFormatTag = plat::WAVE_FORMAT_PCM;
        f.nChannels = channels;
        f.nSamplesPerSec = rate;
        f.wBitsPerSample = bits;
        f.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
        f.nAvgBytesPerSec = rate * f.nBlockAlign;
        return f;
    }

    static constexpr uint32_t kAllControls = plat::DSBCAPS_GLOBALFOCUS | plat::DSBCAPS_CTRLVOLUME |
                                             plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY |
                                             plat::DSBCAPS_STATIC;

    // A secondary buffer the fixture releases at the end.
    plat::IDirectSoundBuffer* Make(const plat::WAVEFORMATEX& format, uint32_t bytes,
                                   uint32_t flags = kAllControls) {
        plat::DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = flags;
        d.dwBufferBytes = bytes;
        d.lpwfxFormat = &format;
        plat::IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), plat::DS_OK);
        if (b != nullptr) made_.push_back(b);
        return b;
    }

    // A 16-bit buffer holding samples (interleaved when stereo).
    plat::IDirectSoundBuffer* Make16(const std::vector<int16_t>& samples, uint16_t channels = 1,
                                     uint32_t rate = 44100) {
        plat::IDirectSoundBuffer* b =
            Make(Pcm(channels, rate, 16), static_cast<uint32_t>(samples.size() * 2));
        if (b != nullptr) Write(b, 0, samples.data(), static_cast<uint32_t>(samples.size() * 2));
        return b;
    }

    // Writes bytes at offset through one lock (wrapping as the lock does).
    static void Write(plat::IDirectSoundBuffer* b, uint32_t offset, const void* data, uint32_t bytes) {
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 0, n2 = 0;
        ASSERT_EQ(b->Lock(offset, bytes, &p1, &n1, &p2, &n2, 0), plat::DS_OK);
        ASSERT_EQ(n1 + n2, bytes);
        std::memcpy(p1, data, n1);
        if (n2 != 0) std::memcpy(p2, static_cast<const uint8_t*>(data) + n1, n2);
        ASSERT_EQ(b->Unlock(p1, n1, p2, n2), plat::DS_OK);
    }

    // The whole buffer's bytes, read through a lock.
    static std::vector<uint8_t> Read(plat::IDirectSoundBuffer* b) {
        plat::DSBCAPS caps{};
        caps.dwSize = sizeof caps;
        EXPECT_EQ(b->GetCaps(&caps), plat::DS_OK);
        void* p1 = nullptr;
        uint32_t n1 = 0;
        EXPECT_EQ(b->Lock(0, caps.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0), plat::DS_OK);
        std::vector<uint8_t> out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
        EXPECT_EQ(b->Unlock(p1, 0, nullptr, 0), plat::DS_OK);
        return out;
    }

    // The next frames output frames, interleaved left, right.
    static std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out;
        EXPECT_TRUE(plat::RenderSoundOutput(frames, &out));
        return out;
    }

    static std::vector<int16_t> Sine(uint32_t frames, double hz, double amplitude,
                                     uint32_t rate = 44100) {
        std::vector<int16_t> s(frames);
        for (uint32_t i = 0; i < frames; ++i) {
            s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
        }
        return s;
    }

    static uint32_t Status(plat::IDirectSoundBuffer* b) {
        uint32_t s = 0;
        EXPECT_EQ(b->GetStatus(&s), plat::DS_OK);
        return s;
    }

    static uint32_t PlayCursor(plat::IDirectSoundBuffer* b, uint32_t* write = nullptr) {
        uint32_t play = 0, w = 0;
        EXPECT_EQ(b->GetCurrentPosition(&play, &w), plat::DS_OK);
        if (write != nullptr) *write = w;
        return play;
    }

    plat::IDirectSound* ds_ = nullptr;
    std::vector<plat::IDirectSoundBuffer*> made_;
};
