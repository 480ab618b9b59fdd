// The sound system's tests: a sound output started on the memory sink for each test, with
// the handle table, the memory blocks and the installed drivers checked and reset at its end.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "base/fatal_exit.h"
#include "base/tracked_memory.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_system.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_output_fixture.h"

// A test wave: 16-bit mono at 22050 Hz, `frames` frames of a constant level.
inline soundfix::Bytes LevelWave(size_t frames, int16_t level, uint32_t rate = 22050) {
    soundfix::WaveFormat format;
    format.rate = rate;
    return soundfix::SimpleWave(format,
                                soundfix::Pcm16Bytes(std::vector<int16_t>(frames, level)));
}

class SoundSystemTest : public SoundOutputFixture {
protected:
    void AfterSoundStopped() override {
        EXPECT_EQ(plat::LiveSoundBuffers(), 0);
        EXPECT_EQ(plat::LiveSoundDevices(), 0);
        EXPECT_EQ(GetSoundHandleTable().count, 0);
        FatalExitSlot().Reset();
        GetSoundOutput().softwareBuffers = 0;
    }

    HandleValue Load(const soundfix::Bytes& file, int buffers) {
        return LoadSoundFromMemory(file.data(), static_cast<uint32_t>(file.size()), buffers, -1);
    }

    static bool BufferPlaying(SoundRecord* record, int index) {
        uint32_t status = 0;
        QueryBufferWrapperStatus(&record->buffers[index], &status);
        return (status & plat::DSBSTATUS_PLAYING) != 0;
    }
    static uint32_t BufferPosition(SoundRecord* record, int index) {
        uint32_t position = 0;
        GetBufferWrapperPosition(&record->buffers[index], &position);
        return position;
    }
};
