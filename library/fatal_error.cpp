#include "library/fatal_error.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/core/thread.h"
#include "base/api_lock.h"
#include "library/library_startup.h"
#include "base/log.h"
#include "system/window_data.h"

namespace {

// True on the library's own message-pump thread.
bool OnPumpThread() {
    const uint32_t pump =
        std::atomic_ref<uint32_t>(GetWindowData().window.pumpThreadId).load(std::memory_order_acquire);
    return pump != 0 && pump == plat::CurrentThreadId();
}

}  // namespace

void FatalError(const char* text) {
    // A fatal condition met while shutting down for an earlier one ends the process at once.
    static std::atomic<bool> inProgress{false};
    if (!inProgress.exchange(true)) {
        LogWrite(text);
        LogWrite("\n");
        TermLibrary();
        // Destroyed as the shut-down entry does. On the pump thread the main thread may be
        // waiting on the lock right now, and its event must not be closed under it; the
        // process ends anyway.
        if (!OnPumpThread()) DestroyApiLock(&GetApiLockState());
    }
    std::fflush(nullptr);
    std::_Exit(-1);
}

void FatalErrorFormat(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    FatalError(buffer);
}
