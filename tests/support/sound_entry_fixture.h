// Tests of the library's sound entries: the library starts headless with its sound output on
// the memory sink, whose mix the test renders and reads, and the sound files the test loads are
// written into its own folder.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/testing/sound_test_controls.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/library_fixture.h"

class SoundEntryFixture : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        plat::ResetSoundTestControls();
    }

    // Writes bytes as the file `name` in the test's folder; its path.
    std::string WriteSoundFile(const char* name, const soundfix::Bytes& bytes) {
        const std::string path = (dir_.path() / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};
