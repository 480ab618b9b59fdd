#include "system/window_data.h"

#include <atomic>
#include <cstring>
#include <type_traits>

namespace {

// Every byte of the record to zero, as the start-up reset wants it.
template <class Record>
void ZeroRecord(Record& record) {
    static_assert(std::is_trivially_copyable_v<Record>, "records of WindowData are plain data");
    std::memset(static_cast<void*>(&record), 0, sizeof(Record));
}

}  // namespace

WindowData& GetWindowData() {
    static WindowData data;
    return data;
}

void ResetWindowDataForStartUp() {
    WindowData& data = GetWindowData();

    // The log keeps its switches, its file name and its start time.
    data.log.indent = 0;
    data.log.inLine = 0;

    // The clock keeps the processor facts; the counter choice is made again.
    const ClockState clock = data.clock;
    ZeroRecord(data.clock);
    data.clock.useTimeStampCounter = clock.useTimeStampCounter;
    data.clock.cpuClock = clock.cpuClock;

    // Start-up is under way and may have started COM just before the reset: its own progress
    // stays, so that a failure still ends what was started.
    const LibraryState library = data.library;
    ZeroRecord(data.library);
    data.library.inStartUp = library.inStartUp;
    data.library.comStarted = library.comStarted;

    ZeroRecord(data.machine);
    ZeroRecord(data.window);
    ZeroRecord(data.droppedFiles);
    ZeroRecord(data.inputChars);
    data.charSet = 0;

    data.window.inactiveSince = 0xFFFFFFFFu;
}

bool IsQuitRequested() {
    return std::atomic_ref<uint32_t>(GetWindowData().window.quit).load(std::memory_order_acquire) !=
           0;
}

void SetQuitRequested() {
    std::atomic_ref<uint32_t>(GetWindowData().window.quit).store(1, std::memory_order_release);
}
