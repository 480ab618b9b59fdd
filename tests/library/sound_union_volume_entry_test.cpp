// A streaming sound that shares another's ring, in the assembled library: the game's volume
// call on it reaches the shared ring while it plays (it holds no buffer of its own).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/testing/sound_test_controls.h"
#include "sound/music/music_handles.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/sound_entry_fixture.h"

namespace {

constexpr uint32_t kRate = 44100;

class SoundUnionVolumeEntryTest : public SoundEntryFixture {
protected:
    void TearDown() override {
        GetSoundOutput().createType = 0;
        SoundEntryFixture::TearDown();
        GetMusicState() = MusicState{0, 0, 0, {}, 0, -1, 0};
    }

    // One second of stereo 16-bit frames all holding value (left and right).
    std::string WriteWave(const char* name, int16_t value) {
        std::vector<int16_t> samples(2 * kRate, value);
        soundfix::WaveFormat format;
        format.channels = 2;
        format.rate = kRate;
        return WriteSoundFile(name, soundfix::SimpleWave(format, soundfix::Pcm16Bytes(samples)));
    }

    // The loudest sample of a tenth of a second of output, the game pumping once.
    static int Loudest() {
        std::vector<int16_t> heard;
        EXPECT_TRUE(plat::RenderSoundOutput(kRate / 10, &heard));
        EXPECT_EQ(ApiProcessMessage(), 0);
        int loudest = 0;
        for (int16_t sample : heard) loudest = std::max(loudest, std::abs(int{sample}));
        return loudest;
    }
};

TEST_F(SoundUnionVolumeEntryTest, VolumeOfAHandleSharingARingIsHeard) {
    StartWithoutPumpThread();
    ASSERT_NE(GetSoundOutput().device, nullptr);
    GetSoundOutput().createType = kStreamDataCallerStream;
    const int owner = ApiLoadSoundFromFile(WriteWave("a.wav", 8000).c_str(), 3, -1);
    ASSERT_NE(owner, -1);
    const int sharer = ApiLoadSoundFromFile(WriteWave("b.wav", 12000).c_str(), 3, owner);
    ASSERT_NE(sharer, -1);
    ASSERT_EQ(GetSoundRecord(sharer)->streaming.unionHandle, owner);

    ASSERT_EQ(ApiPlaySoundHandle(sharer, 1, 1), 0);
    EXPECT_EQ(Loudest(), 12000);
    // Volume by volume: 0 is silence, 128 is -2.99 dB (about 0.71 of the amplitude), 255 all.
    struct Case {
        int volume;
        int low;
        int high;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{128, 8300, 8700}, Case{255, 12000, 12000}}) {
        SCOPED_TRACE(c.volume);
        ASSERT_EQ(ApiSetSoundHandleVolume(c.volume, sharer), 0);
        const int loudest = Loudest();
        EXPECT_GE(loudest, c.low);
        EXPECT_LE(loudest, c.high);
    }
    // The owner's own volume call is the same ring's: the sharer playing hears it too.
    ASSERT_EQ(ApiSetSoundHandleVolume(0, owner), 0);
    EXPECT_EQ(Loudest(), 0);

    GetSoundOutput().createType = 0;
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(plat::LiveSoundBuffers(), 0);
}

}  // namespace
