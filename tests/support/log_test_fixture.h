// A fixture for tests that read the log: a temporary start directory, the virtual clock at 0,
// a freshly started log and an empty tracked-memory list; all of it reset afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/core/clock.h"
#include "platform/core/heap.h"
#include "platform/testing/test_controls.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "system/window_data.h"
#include "tests/support/temp_dir.h"

class LogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetTestControls();
        plat::UseVirtualClock(true);
        ResetLogAndMemory();
        SetStartDirectory(dir_.str());
        StartLog();
    }

    void TearDown() override {
        ReleaseLeftoverBlocks();
        ResetLogAndMemory();
        plat::ResetTestControls();
    }

    // The directory the log is written to, as start-up hands it down.
    static void SetStartDirectory(const std::string& path) { SetLogDirectory(path.c_str()); }

    static void AdvanceMs(uint32_t ms) { plat::AdvanceVirtualClock(uint64_t{ms} * 1000); }

    std::string LogText() const { return dir_.ReadFile("Log.txt"); }

    // The text written since the last call (the log file keeps growing).
    std::string NewLogText() {
        std::string all = LogText();
        std::string fresh = all.substr(std::min(seen_, all.size()));
        seen_ = all.size();
        return fresh;
    }

    ScopedTempDir dir_;

private:
    static void ResetLogAndMemory() {
        GetLogState() = LogState{};
        GetAllocState() = AllocState{};
    }

    // Blocks a test left behind (some on purpose, with damaged headers) go back to the heap.
    static void ReleaseLeftoverBlocks() {
        AllocState& memory = GetAllocState();
        AllocHeader* h = memory.tail;
        while (h != nullptr && h != &memory.anchor) {
            AllocHeader* prev = h->prev;
            plat::HeapRelease(h);
            h = prev;
        }
    }

    size_t seen_ = 0;
};
