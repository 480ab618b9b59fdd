// The start and end of the sound output: its log, its failures, a second start and stop, every
// operation refused while it is not started, and the software-buffer mode it starts in.
#include <gtest/gtest.h>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

TEST_F(SoundSystemTest, StartLogsTheDeviceAndRefusesASecondStart) {
    StopSoundOutput();
    NewLogText();
    ASSERT_EQ(StartSoundOutput(), 0);
    const std::string log = NewLogText();
    for (const char* line :
         {"DirectSound の初期化を行います", "DirectSound インターフェースの取得を行います....  成功",
          "引き続きインターフェースの初期化処理...  成功", "DirectSound デバイスを列挙します",
          "モジュール名:", "最大サンプリングレート:", "利用可能サンプリング精度",
          "利用可能チャンネル", "DirectSound の初期化は正常に終了しました"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(StartSoundOutput(), -1);
    ASSERT_EQ(StopSoundOutput(), 0);
    EXPECT_NE(NewLogText().find("DirectSound の終了処理は正常に終了しました"), std::string::npos);
    EXPECT_EQ(StopSoundOutput(), -1);
    // Not started: every operation answers -1.
    const Bytes wave = LevelWave(100, 1);
    EXPECT_EQ(Load(wave, 1), -1);
    EXPECT_EQ(PlaySoundHandle(0x10000000, 1, 1), -1);
    EXPECT_EQ(SetSoundHandleVolume(255, 0x10000000), -1);
    EXPECT_EQ(StopAllSounds(), -1);
    ASSERT_EQ(StartSoundOutput(), 0);
}

TEST_F(SoundSystemTest, StartFailuresLogAndLeaveNothing) {
    StopSoundOutput();
    plat::FailNextSoundDeviceCreates(1);
    EXPECT_EQ(StartSoundOutput(), -1);
    plat::FailNextSoundInitializes(1);
    EXPECT_EQ(StartSoundOutput(), -1);
    const std::string log = NewLogText();
    EXPECT_NE(log.find("DirectSoundインターフェースの作成に失敗しました"), std::string::npos);
    EXPECT_NE(log.find("初期化に失敗しました"), std::string::npos);
    EXPECT_EQ(GetSoundOutput().device, nullptr);
    EXPECT_EQ(plat::LiveSoundDevices(), 0);
    // Without the silent buffer or the device library, start-up goes on.
    plat::FailNextSoundBufferCreates(0);
    plat::FailNextSoundLibraryLoads(1);
    ASSERT_EQ(StartSoundOutput(), 0);
    EXPECT_NE(NewLogText().find("DSOUND.DLL のロードに失敗しました"), std::string::npos);
}

TEST_F(SoundSystemTest, SoftwareBuffersKeepOnlyThePlayState) {
    StopSoundOutput();
    GetSoundOutput().softwareBuffers = 1;
    ASSERT_EQ(StartSoundOutput(), 0);
    const HandleValue handle = Load(LevelWave(1000, 5), 2);
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    EXPECT_EQ(record->buffers[0].buffer, nullptr);
    ASSERT_NE(record->buffers[0].memory, nullptr);
    EXPECT_EQ(reinterpret_cast<int16_t*>(record->buffers[0].memory)[999], 5);
    ASSERT_EQ(SetSoundHandleVolume(128, handle), 0);
    EXPECT_EQ(record->buffers[1].volume, 128);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayLoop, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    EXPECT_EQ(record->buffers[1].loop, 1);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    ASSERT_EQ(DeleteSoundHandle(handle), 0);
    SetSoundBufferSoftwareMode(0);
}

}  // namespace
