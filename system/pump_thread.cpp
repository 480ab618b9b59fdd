// The library's message-pump thread.
#include <atomic>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "base/api_lock.h"
#include "system/message_pump.h"
#include "system/window_data.h"

namespace {
constexpr uint32_t kPumpIntervalMs = 17;
}

void ProcessMessageThread(void* /*parameter*/) {
    WindowData& data = GetWindowData();
    const uint32_t self = plat::CurrentThreadId();
    std::atomic_ref<uint32_t>(data.window.pumpThreadId).store(self, std::memory_order_release);

    while (!IsQuitRequested()) {
        // A wait in the lock queue is given up once quit is set.
        if (!AcquireApiLockForPump(&GetApiLockState(), &data.window.quit)) break;
        const int result = ProcessMessage();
        ReleaseApiLockForPump(&GetApiLockState());
        if (result < 0) break;
        plat::SleepMs(kPumpIntervalMs);
    }

    RemoveApiLockWaiter(&GetApiLockState(), self);
    std::atomic_ref<uint32_t>(data.window.pumpThreadEnded).store(1, std::memory_order_release);
}
