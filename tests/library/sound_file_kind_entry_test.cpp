// Which files the started library takes for sound: a file that no reader knows is refused with
// its log line even when an MP3 frame header lies somewhere inside it, while a real MP3 stream
// loads and plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/testing/mp3_test_encoder.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_system.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/sound_entry_fixture.h"

namespace {

constexpr uint32_t kRate = 44100;

class SoundFileKindEntryTest : public SoundEntryFixture {
protected:
    // Bytes of no format, the same on every run: seven-bit values with a pair of 0xFF bytes
    // (a frame sync, but no header) every 500 bytes.
    static soundfix::Bytes Garbage(size_t bytes, uint32_t seed) {
        soundfix::Bytes out(bytes);
        for (size_t i = 0; i < bytes; ++i) {
            seed = seed * 1103515245u + 12345u;
            const bool sync = i % 500 == 250 || i % 500 == 251;
            out[i] = sync ? 0xFF : static_cast<unsigned char>((seed >> 16) & 0x7F);
        }
        return out;
    }
};

TEST_F(SoundFileKindEntryTest, GarbageHoldingAnMp3FrameHeaderInsideIsRefused) {
    StartWithoutPumpThread();
    // Good MPEG-1 layer III frames in the middle of garbage, which holds frame syncs that are
    // no header before them.
    soundfix::Bytes file = Garbage(6000, 7);
    size_t syncs = 0;
    for (size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] & 0xF0) == 0xF0) ++syncs;
    }
    ASSERT_GT(syncs, 0u);
    const soundfix::Bytes frames = soundfix::Mp3Frames(20);
    file.insert(file.begin() + 3000, frames.begin(), frames.end());

    const std::string path = WriteSoundFile("noise.wav", file);
    EXPECT_EQ(ApiLoadSoundFromFile(path.c_str(), 3, -1), -1);
    EXPECT_TRUE(LogHas("右記の音声ファイルのロードに失敗しました_2"));
    EXPECT_EQ(GetSoundHandleTable().count, 0);

    // The same frames as a file of their own load.
    const std::string framesPath = WriteSoundFile("frames.mp3", frames);
    const int handle = ApiLoadSoundFromFile(framesPath.c_str(), 1, -1);
    EXPECT_NE(handle, -1);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(SoundFileKindEntryTest, ARealMp3StreamLoadsAndPlays) {
    StartWithoutPumpThread();
    const std::vector<int16_t> source = soundfix::Sine16(kRate, 2, kRate, 440, 12000);
    const std::vector<uint8_t> encoded = plat::EncodeMp3ForTests(source, 2, kRate, 128);
    ASSERT_FALSE(encoded.empty());
    soundfix::Bytes file = soundfix::Id3v2Tag(300);
    file.insert(file.end(), encoded.begin(), encoded.end());
    const int handle = ApiLoadSoundFromFile(WriteSoundFile("tone.mp3", file).c_str(), 1, -1);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(ApiSetSoundHandleVolume(255, handle), 0);
    ASSERT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);
    std::vector<int16_t> heard;
    ASSERT_TRUE(plat::RenderSoundOutput(kRate / 2, &heard));
    int peak = 0;
    for (const int16_t s : heard) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 6000);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

}  // namespace
