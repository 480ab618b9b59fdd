// Streaming-sound tests: a sound output on the memory sink, sources made of numbered frames
// (so that every frame heard tells where it came from), and a pump that mixes a stretch of
// output and refills the rings the way the message pump does.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/fatal_exit.h"
#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_output_fixture.h"

namespace streamtest {

constexpr uint32_t kRate = 44100;  // the mixer's own rate: frames pass through unchanged

// A 16-bit stereo wave of `frames` frames; frame i holds (base + i) split over the two
// channels: left the low 15 bits, right the rest. Frame 0 of a source with base 0 is (0, 0),
// so sources start at base 1 to be told apart from silence.
inline soundfix::Bytes NumberedWave(uint32_t base, uint32_t frames, uint32_t rate = kRate) {
    std::vector<int16_t> samples;
    samples.reserve(frames * 2u);
    for (uint32_t i = 0; i < frames; ++i) {
        const uint32_t n = base + i;
        samples.push_back(static_cast<int16_t>(n & 0x7FFF));
        samples.push_back(static_cast<int16_t>(n >> 15));
    }
    soundfix::WaveFormat format;
    format.channels = 2;
    format.rate = rate;
    return soundfix::SimpleWave(format, soundfix::Pcm16Bytes(samples));
}

// The frame numbers of a mix (0 for silence).
inline std::vector<uint32_t> FrameNumbers(const std::vector<int16_t>& mix) {
    std::vector<uint32_t> out(mix.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<uint32_t>(static_cast<uint16_t>(mix[2 * i])) |
                 static_cast<uint32_t>(static_cast<uint16_t>(mix[2 * i + 1])) << 15;
    }
    return out;
}

// Checks that out holds a source's frames 1 to `frames` in order, then only silence: the
// first frame out of order ends the test; frames heard after the end are counted, and the
// first of them is reported by its distance from the end and its place in the source.
inline void ExpectWholeThenSilence(const std::vector<uint32_t>& out, uint32_t frames) {
    ASSERT_GE(out.size(), frames);
    for (uint32_t i = 0; i < frames; ++i) ASSERT_EQ(out[i], i + 1) << "frame " << i;
    size_t heard = 0;
    size_t first = 0;
    for (size_t i = frames; i < out.size(); ++i) {
        if (out[i] != 0 && heard++ == 0) first = i;
    }
    EXPECT_EQ(heard, 0u) << "frames heard after the end; the first, " << first - frames
                         << " frames after it, is frame " << out[first] << " of the source";
}

class StreamFixture : public SoundOutputFixture {
protected:
    void AfterSoundStopped() override {
        EXPECT_EQ(plat::LiveSoundBuffers(), 0);
        EXPECT_EQ(GetSoundHandleTable().count, 0);
        GetSoundOutput().createType = 0;
        FatalExitSlot().Reset();
        plat::UseVirtualClock(false);
    }

    // A new stream handle with one source of the image (data type 2).
    static HandleValue NewStream(const soundfix::Bytes& image, uint8_t loops,
                                 HandleValue unionHandle = -1) {
        const HandleValue handle = AddSoundData(-1);
        if (handle == -1) return -1;
        if (AppendStreamSourceImage(image.data(), static_cast<uint32_t>(image.size()), loops,
                                    handle, kStreamDataImage, unionHandle) != 0) {
            DeleteSoundHandle(handle);
            return -1;
        }
        return handle;
    }
    static int AddSource(HandleValue handle, const soundfix::Bytes& image, uint8_t loops) {
        return AppendStreamSourceImage(image.data(), static_cast<uint32_t>(image.size()), loops,
                                       handle, kStreamDataImage, -1);
    }

    // Mixes `frames` frames in pieces of `piece`, refilling every ring after each piece; the
    // frame numbers heard.
    static std::vector<uint32_t> Pump(uint32_t frames, uint32_t piece = 4410) {
        std::vector<int16_t> mix;
        for (uint32_t done = 0; done < frames; done += piece) {
            const uint32_t n = frames - done < piece ? frames - done : piece;
            EXPECT_TRUE(plat::RenderSoundOutput(n, &mix));
            RefillAllStreamSounds();
        }
        return FrameNumbers(mix);
    }
    // Mixes without refilling.
    static std::vector<uint32_t> Render(uint32_t frames) {
        std::vector<int16_t> mix;
        EXPECT_TRUE(plat::RenderSoundOutput(frames, &mix));
        return FrameNumbers(mix);
    }

    // The ring's bytes as they stand.
    static std::vector<unsigned char> RingBytes(HandleValue handle) {
        SoundRecord* record = GetSoundRecord(handle);
        SoundBufferWrapper* ring = &record->buffers[0];
        const uint32_t size = static_cast<uint32_t>(record->streaming.ringBytes);
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t b1 = 0, b2 = 0;
        std::vector<unsigned char> out;
        if (LockBufferWrapper(ring, 0, size, &p1, &b1, &p2, &b2) != 0) return out;
        out.assign(static_cast<unsigned char*>(p1), static_cast<unsigned char*>(p1) + b1);
        UnlockBufferWrapper(ring, p1, 0, p2, 0);
        return out;
    }
};

}  // namespace streamtest
