// A fixture for the file tests: a temporary directory of the test's own that is also the log's
// start directory, the log's debug output captured, and a check that every tracked block taken
// during the test was given back. Everything it touches is put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "platform/core/clock.h"
#include "platform/core/debug_output.h"
#include "platform/core/file.h"
#include "platform/testing/test_controls.h"
#include "base/data_stream.h"
#include "base/disk_file.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "system/window_data.h"
#include "tests/support/temp_dir.h"

class FileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        liveBlocks_ = GetAllocState().count;
        SetLogDirectory(dir_.str().c_str());
        plat::StartDebugCapture();
    }

    void TearDown() override {
        EXPECT_EQ(liveBlocks_, GetAllocState().count) << "tracked blocks were leaked";
        plat::ResetTestControls();
        SetLogDirectory(nullptr);
        GetLogState().inLine = 0;
        SetDiskReadAheadWait(100);
        SetFileAccessNoArchive(0);
        SetFileAccessTable(nullptr);
        InitStreamFunctions();
    }

    // What the log wrote since the last call (Shift-JIS).
    std::string TakeLog() { return plat::TakeDebugCapture(); }

    static std::string RandomBytes(size_t size, uint32_t seed) {
        std::mt19937 random(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        return bytes;
    }

    static void WriteWholeFile(const char* name, const std::string& bytes) {
        plat::File* file =
            plat::OpenFile(name, plat::FileAccess::Write, plat::FileCreation::CreateAlways);
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(plat::WriteFile(file, bytes.data(), bytes.size()),
                  static_cast<int64_t>(bytes.size()));
        plat::CloseFile(file);
    }

    // Polls until done() holds; false after about five seconds.
    template <typename Done>
    static bool WaitUntil(Done done) {
        for (int i = 0; i < 5000; ++i) {
            if (done()) return true;
            plat::SleepMs(1);
        }
        return done();
    }

    ScopedTempDir dir_;
    uint32_t liveBlocks_ = 0;
};
