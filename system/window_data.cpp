#include "system/window_data.h"

#include <atomic>
#include <cstring>
#include <type_traits>

#include "base/sjis_string.h"
#include "base/log.h"
#include "base/tracked_memory.h"

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
    ResetLogLine();

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
    SetCharSet(0);

    data.window.inactiveSince = 0xFFFFFFFFu;
}

int ClearDroppedFiles() {
    DroppedFileList& list = GetWindowData().droppedFiles;
    for (int32_t i = 0; i < list.count; ++i) {
        TrackedFree(list.names[i]);
        list.names[i] = nullptr;
    }
    list.count = 0;
    return 0;
}

bool IsQuitRequested() {
    return std::atomic_ref<uint32_t>(GetWindowData().window.quit).load(std::memory_order_acquire) !=
           0;
}

void SetQuitRequested() {
    std::atomic_ref<uint32_t>(GetWindowData().window.quit).store(1, std::memory_order_release);
}
