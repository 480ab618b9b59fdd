// WindowData: the library's single global window and system block. Each subsystem keeps its
// state in a record of its own here.
#pragma once
#include <cstdint>

#include "system/api_lock.h"
#include "system/clock.h"
#include "system/log.h"
#include "system/tracked_memory.h"

struct WindowData {
    // Kept across the reset at window start-up.
    ApiLockState apiLock;
    AllocState memory;

    LogState log;
    ClockState clock;
    char startDirectory[260] = {};  // current directory at start-up
    uint32_t quitFlag = 0;          // 1 once the library is to end
    int32_t charSet = 1;            // 1: Shift-JIS lead bytes; 2: every byte from 0x80 up
    uint32_t mmxFlag = 0;
};

WindowData& GetWindowData();
