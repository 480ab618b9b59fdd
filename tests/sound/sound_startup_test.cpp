// Sound in the assembled library: the start-up starts the sound output in its place, a sound
// loaded through the public entries plays into the platform's mixer, and the shut-down leaves
// nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "base/tracked_memory.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_system.h"
#include "tests/sound/ogg_encoder.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/library_fixture.h"

namespace {

class SoundStartupTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        EXPECT_EQ(GetSoundOutput().device, nullptr);
        plat::ResetSoundTestControls();
    }

    // A 16-bit mono wave of a constant level in the test directory; its full path.
    std::string WriteWave(const char* name, int16_t level, size_t frames) {
        soundfix::WaveFormat format;
        const soundfix::Bytes file = soundfix::SimpleWave(
            format, soundfix::Pcm16Bytes(std::vector<int16_t>(frames, level)));
        const std::string path = (dir_.path() / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
        return path;
    }
};

TEST_F(SoundStartupTest, StartUpStartsSoundAndALoadedSoundPlaysIntoTheMixer) {
    const uint32_t blocksBefore = GetAllocState().count;
    const std::string effect = WriteWave("effect.wav", 2500, 22050);
    ASSERT_EQ(ApiInitLibrary(), 0);
    ASSERT_NE(GetSoundOutput().device, nullptr);
    ASSERT_STREQ(plat::CurrentSoundSinkName(), "memory");
    // The start is logged from its first line to its last.
    const int soundLine = FindLine("DirectSound の初期化を行います");
    const int soundDone = FindLine("DirectSound の初期化は正常に終了しました");
    ASSERT_GE(soundLine, 0);
    EXPECT_GT(soundDone, soundLine);

    const int handle = ApiLoadSoundFromFile(effect.c_str(), 3, -1);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(ApiSetSoundHandleVolume(255, handle), 0);
    EXPECT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(64, &out));
    ASSERT_EQ(out.size(), 128u);
    EXPECT_EQ(out[0], 2500);
    EXPECT_EQ(out[127], 2500);
    // Two copies overlap: the mix is their sum.
    EXPECT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);
    out.clear();
    ASSERT_TRUE(plat::RenderSoundOutput(4, &out));
    EXPECT_EQ(out[0], 5000);
    EXPECT_EQ(ApiStopSoundHandle(handle), 0);
    out.clear();
    ASSERT_TRUE(plat::RenderSoundOutput(4, &out));
    EXPECT_EQ(out[0], 0);

    // A looping sound still playing at shut-down is stopped and everything released.
    const int music = ApiLoadSoundFromFile(effect.c_str(), 3, -1);
    ASSERT_NE(music, -1);
    EXPECT_EQ(ApiPlaySoundHandle(music, 3, 1), 0);
    EXPECT_EQ(ApiLoadSoundFromFile((dir_.path() / "missing.wav").string().c_str(), 3, -1), -1);
    EXPECT_TRUE(LogHas("右記の音声ファイルのロードに失敗しました_1"));

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_TRUE(LogHas("DirectSound の終了処理は正常に終了しました"));
    EXPECT_EQ(GetSoundHandleTable().count, 0);
    EXPECT_EQ(plat::LiveSoundBuffers(), 0);
    EXPECT_EQ(plat::LiveSoundDevices(), 0);
    EXPECT_EQ(GetAllocState().count, blocksBefore);
    // After shut-down the entries answer -1.
    EXPECT_EQ(ApiPlaySoundHandle(handle, 1, 1), -1);
}

TEST_F(SoundStartupTest, OggMusicLoadsWholeAndLoopsPastItsEnd) {
    // Half a second of a 440 Hz tone at 44100 Hz stereo, as the background music road loads it.
    const std::vector<int16_t> tone = soundfix::Sine16(22050, 2, 44100, 440, 12000);
    const soundfix::Bytes ogg = EncodeOggVorbis(tone, 2, 44100, 0.4f);
    ASSERT_FALSE(ogg.empty());
    const std::string path = (dir_.path() / "main.ogg").string();
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(ogg.data()),
                  static_cast<std::streamsize>(ogg.size()));
    }
    ASSERT_EQ(ApiInitLibrary(), 0);
    const int music = ApiLoadSoundFromFile(path.c_str(), 3, -1);
    ASSERT_NE(music, -1);
    EXPECT_EQ(GetSoundRecord(music)->pcmBytes, tone.size() * 2);
    EXPECT_EQ(ApiSetSoundHandleVolume(255, music), 0);
    EXPECT_EQ(ApiPlaySoundHandle(music, 3, 1), 0);
    // A second and a half: three times round the loop, and still playing.
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(66150, &out));
    EXPECT_EQ(ApiStopSoundHandle(music), 0);
    double energy = 0;
    for (size_t i = out.size() - 4410; i < out.size(); ++i) energy += double(out[i]) * out[i];
    const double rms = std::sqrt(energy / 4410);
    EXPECT_GT(rms, 12000 / std::sqrt(2.0) * 0.7);
    EXPECT_LT(rms, 12000 / std::sqrt(2.0) * 1.3);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(SoundStartupTest, NoSoundSwitchLeavesSoundOut) {
    GetWindowData().settings.noSound = 1;
    ASSERT_EQ(ApiInitLibrary(), 0);
    EXPECT_EQ(GetSoundOutput().device, nullptr);
    EXPECT_EQ(FindLine("DirectSound の初期化を行います"), -1);
    const std::string effect = WriteWave("effect.wav", 100, 100);
    EXPECT_EQ(ApiLoadSoundFromFile(effect.c_str(), 3, -1), -1);
    EXPECT_EQ(ApiPlaySoundHandle(0x10000000, 1, 1), -1);
    EXPECT_EQ(ApiSetSoundHandleVolume(10, 0x10000000), -1);
    EXPECT_EQ(ApiStopSoundHandle(0x10000000), -1);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(SoundStartupTest, SoundThatCannotStartIsIgnoredByStartUp) {
    plat::FailNextSoundDeviceCreates(1);
    ASSERT_EQ(ApiInitLibrary(), 0);
    EXPECT_EQ(GetSoundOutput().device, nullptr);
    EXPECT_TRUE(LogHas("DirectSoundインターフェースの作成に失敗しました"));
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_FALSE(LogHas("DirectSound の終了処理は正常に終了しました"));
}

}  // namespace
