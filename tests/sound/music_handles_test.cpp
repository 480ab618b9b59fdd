// Music handles, the MCI end notification, the current music's stop, and the capture file's
// closing header.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/core/file.h"
#include "platform/testing/mci_test_controls.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/capture/sound_capture.h"
#include "sound/music/music_handles.h"
#include "sound/music/music_window_driver.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_output_fixture.h"

namespace {

int pumpCalls = 0;
int CountingPump() {
    ++pumpCalls;
    return 0;
}
constexpr SoundPumpDriver kCountingPump = {.processMessage = CountingPump};
plat::WindowHandle TestWindow() { return 0x4242; }
constexpr MusicWindowDriver kTestWindow = {.window = TestWindow};

class MusicHandlesTest : public SoundOutputFixture {
protected:
    void SetUp() override {
        SoundOutputFixture::SetUp();
        if (HasFatalFailure()) return;
        SoundPumpSlot().Install(kCountingPump);
        MusicWindowSlot().Install(kTestWindow);
        plat::ResetMciTestControls();
        pumpCalls = 0;
    }
    void AfterSoundStopped() override {
        EXPECT_EQ(GetMidiHandleTable().count, 0);
        GetMusicState() = MusicState{0, 0, 0, {}, 0, -1, 0};
        MusicWindowSlot().Reset();
        plat::ResetMciTestControls();
    }
};

TEST_F(MusicHandlesTest, HandlesFollowTheTableRulesAndAnswerTheirState) {
    const HandleValue first = AddMusicData();
    const HandleValue second = AddMusicData();
    ASSERT_NE(first, -1);
    EXPECT_EQ(static_cast<uint32_t>(first) & 0x78000000u, 0x58000000u);
    EXPECT_EQ(GetHandleSlot(second), 1);
    EXPECT_EQ(GetMusicPlayState(first), 0);
    GetMusicState().mciPlaying = 1;  // the MCI mode answers with the sequencer's flag
    EXPECT_EQ(GetMusicPlayState(first), 1);
    GetMusicState().mciPlaying = 0;
    for (HandleValue bad : {-1, 0x10000000, first ^ 0x00010000, first + 5}) {
        EXPECT_EQ(GetMusicPlayState(bad), -1) << bad;
        EXPECT_EQ(StopMusicHandle(bad), -1) << bad;
        EXPECT_EQ(DeleteMusicHandle(bad), -1) << bad;
    }
    // Deleting the highest handle lowers the high-water index, so its slot is taken again.
    ASSERT_EQ(DeleteMusicHandle(second), 0);
    EXPECT_EQ(GetMidiHandleTable().areaEnd, 1);
    const HandleValue again = AddMusicData();
    EXPECT_EQ(GetHandleSlot(again), 1);
    EXPECT_NE(again, second);
    EXPECT_EQ(GetMusicPlayState(second), -1);
    EXPECT_EQ(DeleteAllMusicHandles(), 0);
    EXPECT_EQ(GetMidiHandleTable().count, 0);
    EXPECT_EQ(GetMidiHandleTable().areaEnd, 0);
    // Not started: -1 everywhere.
    ASSERT_EQ(StopSoundOutput(), 0);
    EXPECT_EQ(AddMusicData(), -1);
    EXPECT_EQ(HandleMciNotify(), -1);
    EXPECT_EQ(PollMusicPlayback(), -1);
    EXPECT_EQ(StopCurrentMusic(), -1);
    EXPECT_EQ(DeleteAllMusicHandles(), -1);
    ASSERT_EQ(StartSoundOutput(), 0);
}

TEST_F(MusicHandlesTest, ThePlatformSequencerCannotBeOpened) {
    plat::MCI_OPEN_PARMS open{};
    open.lpstrDeviceType = "sequencer";
    open.lpstrElementName = "music.mid";
    EXPECT_EQ(plat::mciSendCommand(0, plat::MCI_OPEN, plat::MCI_OPEN_TYPE | plat::MCI_OPEN_ELEMENT,
                                   &open),
              plat::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(plat::mciSendCommand(0, plat::MCI_OPEN, 0, nullptr),
              plat::MCIERR_NULL_PARAMETER_BLOCK);
    plat::MCI_GENERIC_PARMS close{};
    EXPECT_EQ(plat::mciSendCommand(1, plat::MCI_CLOSE, 0, &close),
              plat::MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(plat::mciSendCommand(1, 0x0999, 0, &close), plat::MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(plat::TakeMciCommands().size(), 4u);
}

TEST_F(MusicHandlesTest, TheEndNotificationReplaysALoopAndClosesAnythingElse) {
    MusicState& music = GetMusicState();
    music.mciDevice = 7;
    music.loop = 1;
    music.mciPlaying = 1;
    // The platform's sequencer refuses the play (no device is ever open): not playing then.
    EXPECT_EQ(HandleMciNotify(), -1);
    std::vector<plat::MciCommand> sent = plat::TakeMciCommands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].device, 7u);
    EXPECT_EQ(sent[0].message, plat::MCI_PLAY);
    EXPECT_EQ(sent[0].flags, plat::MCI_NOTIFY | plat::MCI_FROM);
    EXPECT_EQ(sent[0].from, 0u);
    EXPECT_EQ(sent[0].callback, 0x4242u);
    EXPECT_EQ(music.mciPlaying, 0);

    music.loop = 0;
    music.mciPlaying = 1;
    EXPECT_EQ(HandleMciNotify(), 0);
    sent = plat::TakeMciCommands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, plat::MCI_CLOSE);
    EXPECT_EQ(music.mciPlaying, 0);
    // Nothing playing, no loop: nothing is sent.
    EXPECT_EQ(HandleMciNotify(), 0);
    EXPECT_TRUE(plat::TakeMciCommands().empty());
    EXPECT_EQ(PollMusicPlayback(), 0);
}

TEST_F(MusicHandlesTest, StopClosesTheSequencerPumpsAndDeletesTheTemporaryFile) {
    const HandleValue handle = AddMusicData();
    MusicState& music = GetMusicState();
    music.loop = 1;
    music.mciPlaying = 1;
    const std::string path = (dir_.path() / "music.mid").string();
    { std::ofstream(path) << "MThd"; }
    std::snprintf(music.tempMidiPath, sizeof(music.tempMidiPath), "%s", path.c_str());
    music.tempMidiWritten = 1;
    GetMusicRecord(handle)->playing = 1;
    ASSERT_EQ(StopMusicHandle(handle), 0);
    EXPECT_EQ(music.loop, 0);
    EXPECT_EQ(music.mciPlaying, 0);
    EXPECT_EQ(pumpCalls, 5);
    EXPECT_FALSE(plat::FileExists(path.c_str()));
    EXPECT_EQ(music.tempMidiWritten, 0);
    EXPECT_EQ(GetMusicRecord(handle)->playing, 0);
    const std::vector<plat::MciCommand> sent = plat::TakeMciCommands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, plat::MCI_CLOSE);
}

TEST_F(MusicHandlesTest, StopCurrentMusicStopsAndDeletesWhicheverKindItIs) {
    // None: nothing happens.
    EXPECT_EQ(StopCurrentMusic(), 0);
    EXPECT_EQ(pumpCalls, 0);

    const HandleValue music = AddMusicData();
    GetMusicState().current = music;
    GetMusicState().currentIsSound = 0;
    EXPECT_EQ(StopCurrentMusic(), 0);
    EXPECT_EQ(GetMusicRecord(music), nullptr);
    EXPECT_EQ(GetMusicState().current, -1);

    soundfix::WaveFormat format;
    const soundfix::Bytes wave =
        soundfix::SimpleWave(format, soundfix::Pcm16Bytes(std::vector<int16_t>(4000, 900)));
    const HandleValue sound =
        LoadSoundFromMemory(wave.data(), static_cast<uint32_t>(wave.size()), 1, -1);
    ASSERT_EQ(PlaySoundHandle(sound, kSoundPlayLoop, 1), 0);
    GetMusicState().current = sound;
    GetMusicState().currentIsSound = 1;
    EXPECT_EQ(StopCurrentMusic(), 0);
    EXPECT_EQ(GetSoundRecord(sound), nullptr);
    EXPECT_EQ(GetMusicState().current, -1);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(4, &out));
    EXPECT_EQ(out[0], 0);
}

TEST_F(MusicHandlesTest, CaptureHeaderForAKnownFrameCount) {
    unsigned char header[kSoundCaptureHeaderBytes];
    BuildSoundCaptureHeader(1000, header);
    const unsigned char expected[kSoundCaptureHeaderBytes] = {
        'R', 'I', 'F', 'F', 0xC6, 0x0F, 0, 0,  // 4 × 1000 + 38 = 4038
        'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 18, 0, 0, 0,
        1, 0, 2, 0, 0x44, 0xAC, 0, 0,           // PCM, stereo, 44100
        0x10, 0xB1, 0x02, 0,                    // 176400
        4, 0, 16, 0, 0, 0,                      // block 4, 16 bits, no extra bytes
        'd', 'a', 't', 'a', 0xA0, 0x0F, 0, 0};  // 4000
    EXPECT_EQ(std::vector<unsigned char>(header, header + sizeof(header)),
              std::vector<unsigned char>(expected, expected + sizeof(expected)));
    // Sizes that do not fit 32 bits stop at the largest.
    BuildSoundCaptureHeader(0xFFFFFFFFu, header);
    EXPECT_EQ(header[4] & header[5] & header[6] & header[7], 0xFF);
    EXPECT_EQ(header[42] & header[43] & header[44] & header[45], 0xFF);
}

TEST_F(MusicHandlesTest, FinishingTheCaptureWritesTheHeaderOverTheStartAndCloses) {
    EXPECT_EQ(FinishSoundCaptureFile(), -1);  // no capture runs
    const std::string path = (dir_.path() / "capture.wav").string();
    plat::File* file =
        plat::OpenFile(path.c_str(), plat::FileAccess::ReadWrite, plat::FileCreation::CreateAlways);
    ASSERT_NE(file, nullptr);
    const std::vector<unsigned char> body(46 + 8, 0x5A);
    ASSERT_EQ(plat::WriteFile(file, body.data(), body.size()), 54);
    SoundCaptureState& capture = GetSoundCaptureState();
    capture = SoundCaptureState{1, 2, file};
    // The shut-down of the sound output finishes it.
    ASSERT_EQ(StopSoundOutput(), 0);
    EXPECT_EQ(capture.on, 0);
    EXPECT_EQ(capture.file, nullptr);
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 54u);
    unsigned char header[kSoundCaptureHeaderBytes];
    BuildSoundCaptureHeader(2, header);
    EXPECT_TRUE(std::equal(header, header + 46, bytes.begin()));
    EXPECT_EQ(bytes[46], 0x5A);  // the samples stay
    ASSERT_EQ(StartSoundOutput(), 0);
    // A capture without a file reports the failure and still ends.
    capture = SoundCaptureState{1, 5, nullptr};
    EXPECT_EQ(FinishSoundCaptureFile(), -1);
    EXPECT_EQ(capture.on, 0);
}

}  // namespace
