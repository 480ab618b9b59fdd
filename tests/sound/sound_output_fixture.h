// The start-up and shut-down every sound test shares: a sound output started on the memory
// sink with no file access table, stopped at the test's end. A test fixture adds its own
// checks and resets in AfterSoundStopped, which runs after the output is stopped and before
// the sound test controls are reset (so the live buffer and device counts still stand).
#pragma once
#include <gtest/gtest.h>

#include "base/file_access_table.h"
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
    }
    void TearDown() override {
        StopSoundOutput();
        AfterSoundStopped();
        SoundPumpSlot().Reset();
        plat::ResetSoundTestControls();
        LogFixture::TearDown();
    }
    virtual void AfterSoundStopped() {}
};
