// The start-up and shut-down every sound test shares: a sound output started on the memory
// sink with no file access table, stopped at the test's end. After start-up the log is read
// up to its end (so NewLogText gives the test's own lines) and blocks_ holds the count of
// tracked memory blocks (so a test can check it gave back what it took). A fixture adds its own
// checks and resets in AfterSoundStopped, which runs after the output is stopped and before
// the sound test controls are reset (so the live buffer and device counts still stand).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "base/file_access_table.h"
#include "base/tracked_memory.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "tests/support/log_test_fixture.h"

class SoundOutputFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
        SetFileAccessTable(nullptr);
        ASSERT_EQ(StartSoundOutput(), 0);
        NewLogText();
        blocks_ = GetAllocState().count;
    }
    void TearDown() override {
        StopSoundOutput();
        AfterSoundStopped();
        SoundPumpSlot().Reset();
        plat::ResetSoundTestControls();
        LogFixture::TearDown();
    }
    virtual void AfterSoundStopped() {}

    uint32_t blocks_ = 0;
};
