// The sound buffer wrapper, in both of its modes.
#include <gtest/gtest.h>

#include <cstring>

#include "base/tracked_memory.h"
#include "platform/dsound/dsound.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_buffer_wrapper.h"

namespace {

plat::WAVEFORMATEX Stereo16() {
    plat::WAVEFORMATEX f{};
    f.wFormatTag = plat::WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 44100 * 4;
    f.wBitsPerSample = 16;
    return f;
}

plat::DSBUFFERDESC Desc(const plat::WAVEFORMATEX* format, uint32_t bytes) {
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN |
                   plat::DSBCAPS_CTRLFREQUENCY | plat::DSBCAPS_STATIC;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = format;
    return desc;
}

class SoftwareWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        blocks_ = GetAllocState().count;
        SetSoundBufferSoftwareMode(1);
    }
    void TearDown() override {
        SetSoundBufferSoftwareMode(0);
        EXPECT_EQ(GetAllocState().count, blocks_);
    }
    uint32_t blocks_ = 0;
};

TEST_F(SoftwareWrapperTest, CreateKeepsThePlayStateAndRefusesAValidWrapper) {
    const plat::WAVEFORMATEX format = Stereo16();
    const plat::DSBUFFERDESC desc = Desc(&format, 400);
    SoundBufferWrapper w{};
    ASSERT_EQ(CreateBufferWrapper(&w, &desc), 0);
    EXPECT_EQ(w.valid, 1);
    EXPECT_EQ(w.length, 100);
    EXPECT_EQ(w.volume, 255);
    EXPECT_EQ(w.loopStart, 0);
    EXPECT_EQ(w.loopEnd, -1);
    EXPECT_EQ(w.format.nBlockAlign, 4);
    unsigned char* memory = w.memory;
    EXPECT_EQ(CreateBufferWrapper(&w, &desc), -1);
    EXPECT_EQ(w.memory, memory);

    uint32_t status = 7;
    ASSERT_EQ(QueryBufferWrapperStatus(&w, &status), 0);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(PlayBufferWrapper(&w, 1), 0);
    ASSERT_EQ(QueryBufferWrapperStatus(&w, &status), 0);
    EXPECT_EQ(status, 1u);
    EXPECT_EQ(w.loop, 1);
    EXPECT_EQ(QueryBufferWrapperStatus(&w, nullptr), 0);
    ASSERT_EQ(SetBufferWrapperPosition(&w, 203), 0);
    EXPECT_EQ(w.position, 50);
    uint32_t position = 0;
    ASSERT_EQ(GetBufferWrapperPosition(&w, &position), 0);
    EXPECT_EQ(position, 200u);
    ASSERT_EQ(StopBufferWrapper(&w), 0);
    EXPECT_EQ(w.playing, 0);

    SoundBufferWrapper copy{};
    ASSERT_EQ(DuplicateBufferWrapper(&copy, &w), 0);
    EXPECT_EQ(copy.length, 100);
    EXPECT_NE(copy.memory, w.memory);
    EXPECT_EQ(ReleaseBufferWrapper(&copy), 0);

    ASSERT_EQ(ReleaseBufferWrapper(&w), 0);
    EXPECT_EQ(w.valid, 0);
    EXPECT_EQ(ReleaseBufferWrapper(&w), -1);
    EXPECT_EQ(PlayBufferWrapper(&w, 0), -1);
    // A released wrapper can be created again.
    ASSERT_EQ(CreateBufferWrapper(&w, &desc), 0);
    EXPECT_EQ(ReleaseBufferWrapper(&w), 0);
}

struct LockCase {
    uint32_t offset, bytes;
    int result;
    uint32_t offset1 = 0, bytes1 = 0, bytes2 = 0;
};

void PrintTo(const LockCase& c, std::ostream* os) {
    *os << c.bytes << " bytes at " << c.offset;
}

class SoftwareLockTest : public SoftwareWrapperTest,
                         public ::testing::WithParamInterface<LockCase> {};

TEST_P(SoftwareLockTest, RegionsStayInsideTheBuffer) {
    const LockCase& c = GetParam();
    const plat::WAVEFORMATEX format = Stereo16();
    const plat::DSBUFFERDESC desc = Desc(&format, 400);
    SoundBufferWrapper w{};
    ASSERT_EQ(CreateBufferWrapper(&w, &desc), 0);
    void* p1 = nullptr;
    void* p2 = reinterpret_cast<void*>(1);
    uint32_t b1 = 0, b2 = 99;
    ASSERT_EQ(LockBufferWrapper(&w, c.offset, c.bytes, &p1, &b1, &p2, &b2), c.result);
    if (c.result == 0) {
        EXPECT_EQ(static_cast<unsigned char*>(p1), w.memory + c.offset1);
        EXPECT_EQ(b1, c.bytes1);
        EXPECT_EQ(b2, c.bytes2);
        EXPECT_EQ(p2, c.bytes2 != 0 ? static_cast<void*>(w.memory) : nullptr);
        EXPECT_LE(c.offset1 + b1, 400u);
        // Every byte of both regions can be written.
        std::memset(p1, 1, b1);
        if (p2 != nullptr) std::memset(p2, 2, b2);
        EXPECT_EQ(UnlockBufferWrapper(&w, p1, b1, p2, b2), 0);
    }
    ReleaseBufferWrapper(&w);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoftwareLockTest,
    ::testing::Values(LockCase{300, 400, 0, 300, 100, 300},  // wraps into a second region
                      LockCase{0, 400, 0, 0, 400, 0}, LockCase{100, 200, 0, 100, 200, 0},
                      LockCase{302, 100, 0, 302, 98, 2},  // an offset inside a frame
                      LockCase{400, 4, -1}, LockCase{1000, 4, -1}, LockCase{0, 401, -1},
                      LockCase{100, 0xFFFFFFF0u, -1}, LockCase{0, 0, -1}));

TEST(SoftwareVolumeTest, FactorIsTheInverseOfTheVolumeLaw) {
    EXPECT_EQ(SoftwareVolumeFactor(-10000), 0);
    EXPECT_EQ(SoftwareVolumeFactor(-20000), 0);
    EXPECT_EQ(SoftwareVolumeFactor(0), 256);
    EXPECT_EQ(SoftwareVolumeFactor(-299), 128);  // a handle volume of 128
    EXPECT_EQ(SoftwareVolumeFactor(-600), 64);
    EXPECT_EQ(SoftwareVolumeFactor(-123), 192);
}

// The platform mode, on a device of the platform's sound layer with the memory sink.
class DeviceWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
        ASSERT_EQ(plat::CoCreateDirectSound(&device_), plat::DS_OK);
        ASSERT_EQ(device_->Initialize(nullptr), plat::DS_OK);
        ASSERT_EQ(device_->SetCooperativeLevel(0x10010, plat::DSSCL_PRIORITY), plat::DS_OK);
        SetSoundBufferDevice(device_);
    }
    void TearDown() override {
        SetSoundBufferDevice(nullptr);
        device_->Release();
        EXPECT_EQ(plat::LiveSoundBuffers(), 0);
        EXPECT_EQ(plat::LiveSoundDevices(), 0);
        plat::ResetSoundTestControls();
    }
    plat::IDirectSound* device_ = nullptr;
};

TEST_F(DeviceWrapperTest, BufferPlaysItsSamplesIntoTheMixer) {
    const plat::WAVEFORMATEX format = Stereo16();
    const plat::DSBUFFERDESC desc = Desc(&format, 4000);
    SoundBufferWrapper w{};
    ASSERT_EQ(CreateBufferWrapper(&w, &desc), 0);
    EXPECT_EQ(CreateBufferWrapper(&w, &desc), -1);
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t b1 = 0, b2 = 0;
    ASSERT_EQ(LockBufferWrapper(&w, 0, 4000, &p1, &b1, &p2, &b2), 0);
    auto* samples = static_cast<int16_t*>(p1);
    for (uint32_t i = 0; i < b1 / 2; ++i) samples[i] = 1000;
    ASSERT_EQ(UnlockBufferWrapper(&w, p1, b1, p2, b2), 0);
    ASSERT_EQ(SetBufferWrapperVolume(&w, 0), 0);
    ASSERT_EQ(PlayBufferWrapper(&w, 0), 0);
    uint32_t status = 0;
    ASSERT_EQ(QueryBufferWrapperStatus(&w, &status), 0);
    EXPECT_NE(status & plat::DSBSTATUS_PLAYING, 0u);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(100, &out));
    ASSERT_EQ(out.size(), 200u);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[199], 1000);
    uint32_t position = 0;
    ASSERT_EQ(GetBufferWrapperPosition(&w, &position), 0);
    EXPECT_EQ(position, 400u);

    SoundBufferWrapper copy{};
    ASSERT_EQ(DuplicateBufferWrapper(&copy, &w), 0);
    ASSERT_EQ(StopBufferWrapper(&w), 0);
    ASSERT_EQ(QueryBufferWrapperStatus(&w, &status), 0);
    EXPECT_EQ(status & plat::DSBSTATUS_PLAYING, 0u);
    EXPECT_EQ(ReleaseBufferWrapper(&copy), 0);
    EXPECT_EQ(ReleaseBufferWrapper(&w), 0);
    EXPECT_EQ(w.buffer, nullptr);
}

TEST_F(DeviceWrapperTest, FailuresOfTheLayerAreReported) {
    const plat::WAVEFORMATEX format = Stereo16();
    const plat::DSBUFFERDESC desc = Desc(&format, 400);
    SoundBufferWrapper w{};
    plat::FailNextSoundBufferCreates(1);
    EXPECT_EQ(CreateBufferWrapper(&w, &desc), -1);
    EXPECT_EQ(w.valid, 0);
    ASSERT_EQ(CreateBufferWrapper(&w, &desc), 0);
    SoundBufferWrapper copy{};
    plat::FailNextSoundDuplicates(1);
    EXPECT_EQ(DuplicateBufferWrapper(&copy, &w), -1);
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t b1 = 0, b2 = 0;
    plat::FailNextSoundLocks(1);
    EXPECT_EQ(LockBufferWrapper(&w, 0, 400, &p1, &b1, &p2, &b2), -1);
    EXPECT_EQ(SetBufferWrapperPan(&w, 20000), -1);
    EXPECT_EQ(ReleaseBufferWrapper(&w), 0);
}

}  // namespace
